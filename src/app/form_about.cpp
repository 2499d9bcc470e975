#include "app/form_about.h"

#include "app/dialog_frame.h"
#include "app/document_url.h"
#include "app/program_picture.h"
#include "app/wizard_texts.h"
#include "song/playback_engine.h"
#include "tavorin/version.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <cmath>

namespace tavorin {

namespace {

constexpr QSize aboutSize{330, 176};
constexpr int pictureSize = 64;
constexpr int pauseMs = 1000;
constexpr int slideTicks = 30;

QFont labelFont(const QStringList& families, qreal pointSize, bool bold) {
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QStringList gothic() {
    return {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
            QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")};
}

QStringList arial() {
    return {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
            QStringLiteral("DejaVu Sans")};
}

QLabel* placeLabel(QWidget* parent, const QString& name, const QString& text, const QFont& font,
                   const QColor& colour, const QPoint& place) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->move(place);
    label->adjustSize();
    return label;
}

QWidget* placeLine(QWidget* parent, const QString& name, const QColor& colour, int y) {
    auto* line = new QWidget(parent);
    line->setObjectName(name);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
    line->setGeometry(0, y, parent->width(), 1);
    return line;
}

} // namespace

QString formatVersionNumber(double value, int minDecimals, int maxDecimals) {
    QString text = QString::number(value, 'f', maxDecimals);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point < 0) {
        return text;
    }
    qsizetype keep = text.size();
    while (keep > point + 1 + minDecimals && text.at(keep - 1) == QLatin1Char('0')) {
        --keep;
    }
    text.truncate(keep);
    if (text.endsWith(QLatin1Char('.'))) {
        text.chop(1);
    }
    return text;
}

FormAbout::FormAbout(PlaybackEngine& engine, ShellServices& shellServices, QWidget* parent)
    : QDialog(parent), shell(shellServices) {
    setObjectName(QStringLiteral("FormAbout"));
    setWindowTitle(wizardTitle() + QStringLiteral("について"));
    setFixedSize(aboutSize);
    setDialogFrame(*this);
    // The window's font for what has none of its own (the OK button), as in the main window.
    setAttribute(Qt::WA_WindowPropagation);

    // The shadow copy first, so the yellow title lies above it.
    const QFont titleFont = labelFont(gothic(), 20.25, true);
    label1[0] = placeLabel(this, QStringLiteral("Label1_0"), QStringLiteral("Tavorin"), titleFont,
                           QColor(128, 128, 0), QPoint(19, 12));
    label1[1] = placeLabel(this, QStringLiteral("Label1_1"), QStringLiteral("Tavorin"), titleFont,
                           QColor(255, 255, 0), QPoint(16, 10));
    const QFont subtitleFont = labelFont(gothic(), 15.75, true);
    label1[2] = placeLabel(this, QStringLiteral("Label1_2"), QStringLiteral("補正"), subtitleFont,
                           QColor(255, 128, 0), QPoint(label1[1]->geometry().right() + 6, 17));
    label2 = placeLabel(this, QStringLiteral("Label2"), QStringLiteral("Wizard"),
                        labelFont(arial(), 15.75, true), QColor(255, 0, 0),
                        QPoint(label1[2]->geometry().right() + 2, 17));
    placeLine(this, QStringLiteral("Line1"), QColor(128, 128, 128), 56);
    placeLine(this, QStringLiteral("Line2"), QColor(255, 255, 255), 57);

    label3 = placeLabel(this, QStringLiteral("Label3"),
                        QStringLiteral("Version ") + QLatin1String(programVersion),
                        labelFont(gothic(), 12, false), Qt::black, QPoint(16, 66));
    // The engine that really reads the songs, not a library this program never loads.
    label4 = placeLabel(this, QStringLiteral("Label4"),
                        engine.name() + QLatin1Char(' ') +
                            formatVersionNumber(engine.version() / 100.0, 2, 3),
                        labelFont(gothic(), 9, false), Qt::black, QPoint(16, 92));
    label5 = placeLabel(this, QStringLiteral("Label5"), QStringLiteral("By Pellimore"),
                        labelFont(arial(), 12, false), Qt::black, QPoint(16, 114));
    label6 = placeLabel(this, QStringLiteral("Label6"), homePage(), labelFont(arial(), 9, false),
                        Qt::black, QPoint(16, 146));
    // Disabled during the slide: a link that cannot be clicked yet.
    label6->setEnabled(false);
    label6->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connect(label6, &QLabel::linkActivated, this, &FormAbout::openHomePage);

    image1 = new QLabel(this);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setPixmap(programPicture(pictureSize));
    image1->setGeometry(248, 68, pictureSize, pictureSize);
    image1->installEventFilter(this);

    comClose = new QPushButton(QStringLiteral("OK"), this);
    comClose->setObjectName(QStringLiteral("ComClose"));
    comClose->setGeometry(258, 143, 57, 25);
    comClose->hide();
    connect(comClose, &QPushButton::clicked, this, &QDialog::accept);

    // Centred on the screen, above every other window while it is open.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    setWindowFlag(Qt::WindowStaysOnTopHint, true);

    // The picture waits just out of sight at the right.
    home = image1->x();
    image1->move(width(), image1->y());
    start = image1->x();

    timer1 = new QTimer(this);
    timer1->setObjectName(QStringLiteral("Timer1"));
    timer1->setInterval(pauseMs);
    connect(timer1, &QTimer::timeout, this, &FormAbout::slideTick);
    step = 0;
    timer1->start();
}

bool FormAbout::isSliding() const {
    return timer1->isActive();
}

void FormAbout::slideTick() {
    if (!timer1->isActive()) {
        return;
    }
    if (timer1->interval() == pauseMs) {
        timer1->setInterval(1);
        return;
    }
    ++step;
    if (step >= slideTicks) {
        timer1->stop();
    }
    // A quarter cosine: fast at first, settling onto the home place.
    const auto left = static_cast<float>((start - home) * std::cos(step * 3.141592 / 60.0) + home);
    image1->move(static_cast<int>(std::lround(left)), image1->y());
    if (!timer1->isActive()) {
        comClose->show();
        // Now a link: blue, underlined, the pointing hand over the whole address.
        QPalette palette = label6->palette();
        palette.setColor(QPalette::Link, QColor(0, 0, 255));
        label6->setPalette(palette);
        label6->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(homePage()));
        label6->setCursor(Qt::PointingHandCursor);
        label6->setEnabled(true);
    }
}

void FormAbout::dragPictureTo(const QPoint& pointInPicture) {
    // The picture's centre goes to the mouse, then stays inside the window.
    int left = image1->x() + pointInPicture.x() - image1->width() / 2;
    int top = image1->y() + pointInPicture.y() - image1->height() / 2;
    if (left < 0) {
        left = 0;
    }
    if (left > width() - image1->width()) {
        left = width() - image1->width();
    }
    if (top < 0) {
        top = 0;
    }
    if (top > height() - image1->height()) {
        top = height() - image1->height();
    }
    image1->move(left, top);
}

void FormAbout::openHomePage(const QString& address) {
    openDocument(shell, address);
    accept();
}

bool FormAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched != image1) {
        return QDialog::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!timer1->isActive() && mouse->buttons() == Qt::LeftButton) {
            dragging = true;
            dragPictureTo(mouse->position().toPoint());
        }
        return true;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!timer1->isActive() && dragging && mouse->buttons().testFlag(Qt::LeftButton)) {
            dragPictureTo(mouse->position().toPoint());
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
        dragging = false;
        return true;
    default:
        return QDialog::eventFilter(watched, event);
    }
}

} // namespace tavorin
