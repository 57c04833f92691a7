#include "ui/highscore/highscoreform.h"

#include <QLabel>
#include <QStringDecoder>
#include <algorithm>

#include "net/server.h"
#include "ui/art/art.h"
#include "ui/art/palette.h"
#include "ui/controls/ImageButton.h"
#include "ui/controls/LbBack.h"
#include "ui/controls/TFlatPanelUnit.h"
#include "ui/highscore/htmlviewer.h"
#include "ui/main/keptart.h"
#include "ui/main/mainform.h"
#include "ui/main/widgets.h"

using namespace quintelle;
using namespace quintelle::ui;

namespace {

// The server's own words for a refused score: its answer when that is one
// short line of text, else its status line.
QString refusalReason(const THTTPGetResult& result) {
    const QString body = QString::fromUtf8(result.Body).simplified();
    const bool plainLine = !body.isEmpty() && body.size() <= 200 && !body.contains(u'<') &&
                           std::none_of(body.begin(), body.end(), [](QChar c) {
                               return c.category() == QChar::Other_Control;
                           });
    if (plainLine) return body;
    return QStringLiteral("The server refused the score (%1 %2).")
        .arg(result.Status)
        .arg(result.Reason)
        .replace(QStringLiteral(" )"), QStringLiteral(")"));
}

}  // namespace

Thighscore::Thighscore(Tmain* main, const TURL* vendorLink)
    : SecondaryWindow(main, Placement::DesktopCentre), main_(main), vendorLink_(vendorLink) {
    dress(QStringLiteral("highscore"), QStringLiteral("Quintelle - High Scores"), kClient);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(makeFont(FontSpec{}));

    makePicture(this, "Image1", QRect(11, 10, 86, 86), kept::emblem);

    panel_main = new TFlatPanel(this);
    panel_main->setObjectName(QStringLiteral("panel_main"));
    panel_main->setGeometry(112, 8, 481, 507);
    panel_main->setColorHighLight(Qt::white);
    panel_main->setColorShadow(Qt::white);
    panel_main->setColor(palette::wood);
    displayhtml_ = new THtmlViewer(panel_main);
    displayhtml_->setObjectName(QStringLiteral("displayhtml"));
    // Inside the panel's one-pixel frame.
    displayhtml_->setGeometry(panel_main->rect().adjusted(1, 1, -1, -1));
    displayhtml_->OnHotSpotClick = [this](THtmlViewer* sender, const QString& target,
                                          bool& handled) {
        displayhtmlHotSpotClick(sender, target, handled);
    };

    ImageButton* done =
        makePictureButton(this, "button_done", QPoint(496, 522), art::ButtonWord::Done);
    connect(done, &ImageButton::clicked, this, &Thighscore::button_doneClick);

    // The two lists the window shows: the classic game's and the Daily Deal's.
    label_lists = new QLabel(this);
    label_lists->setObjectName(QStringLiteral("label_lists"));
    label_lists->setGeometry(205, 526, 280, 28);
    label_lists->setFont(makeFont(FontSpec{"Arial", 15, true}));
    label_lists->setTextFormat(Qt::RichText);
    label_lists->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label_lists->setText(QStringLiteral("<a href=\"scores\" style=\"color:#f5ebd8\">High Scores</a>"
                                        "&nbsp;&nbsp;&middot;&nbsp;&nbsp;"
                                        "<a href=\"daily\" style=\"color:#f5ebd8\">Daily Deal</a>"));
    connect(label_lists, &QLabel::linkActivated, this, [this](const QString& which) {
        if (which == QLatin1String("daily"))
            loadDaily();
        else
            loadit();
    });

    auto* image2 = new Picture(this, "Image2", QRect(3, 520, 194, 40), kept::logo);
    image2->setCursor(Qt::PointingHandCursor);
    connect(image2, &Picture::clicked, this, &Thighscore::Image2Click);

    sendit_.setObjectName(QStringLiteral("sendit"));
    getit_.setObjectName(QStringLiteral("getit"));
    sendit_.OnDoneString = [this](THTTPGet* sender, const QByteArray& body) {
        senditDoneString(sender, body);
    };
    sendit_.OnError = [this](THTTPGet* sender) { senditError(sender); };
    getit_.OnDoneString = [this](THTTPGet* sender, const QByteArray& body) {
        getitDoneString(sender, body);
    };
    getit_.OnError = [this](THTTPGet* sender) { getitError(sender); };
    URL1.URLType = TURL::utnone;

    FormCreate();
}

// The fetches die with the window: destruction aborts and detaches them.
Thighscore::~Thighscore() = default;

void Thighscore::FormCreate() {
    LbBackground1 = coverWithTile(this, main_ ? main_->backgroundTile() : QImage());
}

void Thighscore::sendscore(const QString& name, const QString& date, const QString& score) {
    net::aimAtVendor(sendit_, net::vendorpath::scorePost(name, date, score));
    sendit_.StartFetch();
}

void Thighscore::loadit() {
    fetchPage(net::vendorpath::highScorePage());
}

void Thighscore::loadDaily(const QString& path) {
    fetchPage(path.isEmpty() ? net::vendorpath::dailyList() : path);
}

void Thighscore::fetchPage(const QString& path) {
    getit_.PostQuery.clear();
    net::aimAtVendor(getit_, path);
    getit_.StartFetch();
}

void Thighscore::senditDoneString(THTTPGet*, const QByteArray&) {
    loadit();
    showOverMain();
    emit postingEnded({PostingOutcome::Accepted, {}});
}

void Thighscore::senditError(THTTPGet* sender) {
    const THTTPGetResult& result = sender->LastResult();
    // A status of 400 or more is the server's answer: it saw the score and
    // would not take it. Anything else is a post that never got through.
    if (result.Status >= 400)
        emit postingEnded({PostingOutcome::Refused, refusalReason(result)});
    else
        emit postingEnded({PostingOutcome::Failed, result.Error});
}

void Thighscore::getitDoneString(THTTPGet*, const QByteArray& body) {
    // The page names its own character set; without one it is UTF-8.
    const auto encoding = QStringConverter::encodingForHtml(body);
    QStringDecoder decoder(encoding.value_or(QStringConverter::Utf8));
    const QString html = decoder.decode(body);
    displayhtml_->LoadFromString(html, QString());
}

void Thighscore::getitError(THTTPGet* sender) {
    displayhtml_->ShowMessage(QStringLiteral("The high-score list could not be loaded (%1). "
                                             "Please try again later.")
                                  .arg(sender->LastResult().Error));
}

void Thighscore::displayhtmlHotSpotClick(THtmlViewer*, const QString& target, bool& handled) {
    // The Daily Deal's pages lead to each other (a day's list, its deal, a
    // player's grid): those stay in the window.
    if (const QString page = net::dailyPageOf(target); !page.isEmpty()) {
        handled = true;
        loadDaily(page);
        return;
    }
    // A page from the network must not reach local files or programs: only a
    // web or mail address goes to the shell, exactly as the page wrote it.
    if (!TURL::isWebAddress(target)) return;
    URL1.URL = target;
    // Only a link that opened something turns visited.
    if (URL1.OpenURL()) displayhtml_->MarkVisited(target);
}

void Thighscore::Image2Click() {
    if (vendorLink_) vendorLink_->OpenURL();
}

void Thighscore::button_doneClick() {
    close();
}
