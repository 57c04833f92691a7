#include "ui/help/aboutform.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

#include "net/server.h"
#include "ui/art/art.h"
#include "ui/art/palette.h"
#include "ui/controls/ImageButton.h"
#include "ui/controls/LbBack.h"
#include "ui/main/keptart.h"
#include "ui/main/mainform.h"
#include "ui/main/widgets.h"
#include "version.h"

using namespace quintelle;
using namespace quintelle::ui;

namespace {

constexpr QSize kClient{304, 193};
constexpr QColor kVersionColour{211, 226, 213};
const FontSpec kCredit{"Times New Roman", 13, true};
const FontSpec kLink{"MS Sans Serif", 16, true, true};

QString latin(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

Tabout::Tabout(Tmain* main) : SecondaryWindow(main) {
    dress(QStringLiteral("about"), QStringLiteral("Quintelle - About"), kClient);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    makePicture(this, "Image2", QRect(1, 3, 86, 86), kept::emblem);
    makePicture(this, "Image1", QRect(58, 20, 247, 44), kept::title);

    URL1.URL = net::vendorServer().text;
    Label7 = makeLabel(this, "Label7", QRect(96, 68, 201, 20), URL1.URL, kLink, palette::cream,
                       Qt::AlignHCenter);
    Label7->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    Label7->setCursor(Qt::PointingHandCursor);
    Label7->installEventFilter(this);

    makeLabel(this, "Label2", QRect(4, 122, 296, 16),
              QStringLiteral("Designed and programmed by Orvanta Software."), kCredit,
              palette::cream);
    makeLabel(this, "Label3", QRect(4, 138, 100, 16), QStringLiteral("Copyright \u00a9 2005"),
              kCredit, palette::cream);
    makeLabel(this, "Label4", QRect(106, 138, 190, 16), QStringLiteral("Orvanta Software"), kCredit,
              palette::cream);
    makeLabel(this, "Label5", QRect(4, 154, 190, 16), QStringLiteral("All rights reserved."),
              kCredit, palette::cream);
    makeLabel(this, "Label1", QRect(48, 171, 46, 16), QStringLiteral("Version"), kCredit,
              palette::cream);
    makeLabel(this, "version", QRect(96, 171, 27, 16), latin(kVersion), kCredit, kVersionColour);
    makeLabel(this, "Label9", QRect(123, 171, 20, 16), u'.' + latin(kBuild), kCredit,
              kVersionColour);

    ImageButton* done =
        makePictureButton(this, "button_done", QPoint(201, 160), art::ButtonWord::Done);
    connect(done, &ImageButton::clicked, this, &Tabout::button_doneClick);

    FormCreate(main);
}

void Tabout::FormCreate(Tmain* main) {
    LbBackground1 = coverWithTile(this, main ? main->backgroundTile() : QImage());
}

// Nobody is told whether the browser opened: a refused link simply does nothing.
void Tabout::Label7Click() {
    URL1.OpenURL();
}

void Tabout::button_doneClick() {
    close();
}

// A label has no click of its own: a left press and release on it makes one.
bool Tabout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label7) {
        if (event->type() == QEvent::MouseButtonPress) {
            linkPressed_ = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const bool click = linkPressed_ && mouse->button() == Qt::LeftButton &&
                               Label7->rect().contains(mouse->position().toPoint());
            linkPressed_ = false;
            if (click) Label7Click();
            return true;
        }
    }
    return SecondaryWindow::eventFilter(watched, event);
}
