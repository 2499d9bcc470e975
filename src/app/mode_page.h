#pragma once

#include <QFrame>

#include <array>

class QLabel;
class QPushButton;
class QRadioButton;

namespace tavorin {

// Page 1 of 5: the processing mode.
class ModePage : public QFrame {
    Q_OBJECT
public:
    explicit ModePage(QWidget* parent = nullptr);

    // Selects opt1(0) for New-Tag Mode, opt1(1) for Correction Mode, and explains it.
    void selectMode(bool newMode);
    bool newModeSelected() const;
    // "補正データ新規追加" or "補正変換", after the selected option.
    QString modeText() const;
    void showIntroduction();

    QLabel* lbl1;
    std::array<QRadioButton*, 2> opt1;
    QLabel* lblExplain2;
    QLabel* lblExplain;
    QLabel* image1;
    QPushButton* com1Help;
    QPushButton* com0to1;

signals:
    // An option of opt1 was clicked: true for "新規追加".
    void modeChosen(bool newMode);
    void imageClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void explainMode(bool newMode);
};

} // namespace tavorin
