#pragma once

#include <QDialog>
#include <QString>

#include <array>

class QLabel;
class QPushButton;
class QTimer;

namespace tavorin {

class PlaybackEngine;
class ShellServices;

// A version number with at least minDecimals and at most maxDecimals decimals, "." as the
// decimal point: 3 -> "3.00" for (2, 3).
QString formatVersionNumber(double value, int minDecimals, int maxDecimals);

// The about box: the program and its maker, the versions, the picture sliding in from the
// right, and the home page link once the slide has ended.
class FormAbout : public QDialog {
    Q_OBJECT
public:
    FormAbout(PlaybackEngine& engine, ShellServices& shell, QWidget* parent = nullptr);

    static QString homePage() { return QStringLiteral("https://quendel.github.io/tavorin/"); }

    // One tick of Timer1: the first ends the one-second pause, the next 30 slide the picture.
    void slideTick();
    bool isSliding() const;
    // Where the picture stops: its designed place.
    int homeLeft() const { return home; }

    std::array<QLabel*, 3> label1{};
    QLabel* label2;
    QLabel* label3;
    QLabel* label4;
    QLabel* label5;
    QLabel* label6;
    QLabel* image1;
    QPushButton* comClose;
    QTimer* timer1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void dragPictureTo(const QPoint& pointInPicture);
    void openHomePage(const QString& address);

    ShellServices& shell;
    int home = 0;
    int start = 0;
    int step = 0;
    bool dragging = false;
};

} // namespace tavorin
