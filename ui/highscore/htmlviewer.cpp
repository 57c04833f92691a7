#include "ui/highscore/htmlviewer.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "net/httpget.h"
#include "net/server.h"

namespace {

constexpr int kParallelFetches = 4;
// A page cannot make the program fetch without end.
constexpr int kMaxPicturesPerPage = 64;

QString cssColour(const QColor& c) {
    return c.name(QColor::HexRgb);
}

// The page's document asks its viewer for every resource and never falls
// back to reading a file itself, which a plain document would do.
class PageDocument : public QTextDocument {
  public:
    explicit PageDocument(THtmlViewer* viewer) : QTextDocument(viewer), viewer_(viewer) {}

  protected:
    QVariant loadResource(int type, const QUrl& name) override {
        return viewer_->loadResourceFor(type, name);
    }

  private:
    THtmlViewer* viewer_;
};

}  // namespace

THtmlViewer::THtmlViewer(QWidget* parent) : QTextBrowser(parent) {
    setDocument(new PageDocument(this));
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setTextInteractionFlags(Qt::TextBrowserInteraction);
    setMouseTracking(true);
    document()->setUndoRedoEnabled(false);  // link colouring is not an edit
    connect(this, &QTextBrowser::anchorClicked, this, &THtmlViewer::linkClicked);
    applyPalette();
}

THtmlViewer::~THtmlViewer() = default;

void THtmlViewer::applyPalette() {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, DefBackground);
    palette.setColor(QPalette::Text, DefFontColor);
    palette.setColor(QPalette::Link, DefHotSpotColor);
    palette.setColor(QPalette::LinkVisited, DefVisitedLinkColor);
    setPalette(palette);
}

void THtmlViewer::showEvent(QShowEvent* event) {
    if (document()->isEmpty()) applyPresentation();
    QTextBrowser::showEvent(event);
}

void THtmlViewer::applyPresentation() {
    applyPalette();
    document()->setDefaultStyleSheet(
        QStringLiteral("body { color: %1; font-family: \"%2\"; }\n"
                       "pre { font-family: \"%3\"; }\n"
                       "a { color: %4; }\n")
            .arg(cssColour(DefFontColor), DefFontName, DefPreFontName, cssColour(DefHotSpotColor)));
    QFont font = document()->defaultFont();
    font.setFamily(DefFontName);
    document()->setDefaultFont(font);
}

void THtmlViewer::LoadFromString(const QString& html, const QString& name) {
    applyPresentation();
    overAnchor_.clear();
    pressedAnchor_.clear();
    document()->setMetaInformation(QTextDocument::DocumentUrl, name);
    setHtml(html);  // not setSource: there is no history to go back through
    clearHistory();
    colourLinks();
}

QString THtmlViewer::vendorPicture(const QString& src) const {
    const QString origin = quintelle::net::vendorServer().origin();
    if (src.startsWith(QLatin1Char('/')) && !src.startsWith(QStringLiteral("//"))) return src;
    if (src.size() > origin.size() && src.startsWith(origin, Qt::CaseInsensitive) &&
        src.at(origin.size()) == QLatin1Char('/'))
        return src.mid(origin.size());
    return {};
}

QVariant THtmlViewer::loadResource(int type, const QUrl& name) {
    return loadResourceFor(type, name);
}

QVariant THtmlViewer::loadResourceFor(int type, const QUrl& name) {
    // Only pictures, and only from the vendor's server: nothing local, no
    // style sheets, nothing from elsewhere.
    if (type != QTextDocument::ImageResource) return {};
    const QString src = name.toString();
    if (const auto found = pictures_.constFind(src); found != pictures_.constEnd()) return *found;
    const QString address = vendorPicture(src);  // the path on the server
    if (address.isEmpty()) return {};
    if (!waiting_.contains(address)) {
        if (waiting_.size() >= kMaxPicturesPerPage) return {};
        queue_.append(address);
    }
    if (!waiting_[address].contains(src)) waiting_[address].append(src);
    // The fetch starts once the page is laid out, never inside the layout.
    QMetaObject::invokeMethod(this, &THtmlViewer::fetchNext, Qt::QueuedConnection);
    return {};
}

void THtmlViewer::fetchNext() {
    while (!queue_.isEmpty() && fetching_.size() < kParallelFetches) {
        const QString address = queue_.takeFirst();
        auto* get = new THTTPGet(this);
        quintelle::net::aimAtVendor(*get, address);
        get->OnDoneString = [this](THTTPGet* sender, const QByteArray& body) {
            pictureArrived(fetching_.take(sender), body);
            sender->deleteLater();
            fetchNext();
        };
        get->OnError = [this](THTTPGet* sender) {
            // Left out of the page; a later page may ask again.
            waiting_.remove(fetching_.take(sender));
            sender->deleteLater();
            fetchNext();
        };
        fetching_.insert(get, address);
        get->StartFetch();
    }
}

void THtmlViewer::pictureArrived(const QString& address, const QByteArray& bytes) {
    const QStringList sources = waiting_.take(address);
    const QImage image = QImage::fromData(bytes);
    if (image.isNull()) return;
    for (const QString& src : sources) {
        pictures_.insert(src, image);
        document()->addResource(QTextDocument::ImageResource, QUrl(src), image);
    }
    // Lay the page out again with the picture's real size, keeping the place.
    const int scrolled = verticalScrollBar()->value();
    document()->markContentsDirty(0, document()->characterCount());
    verticalScrollBar()->setValue(scrolled);
    viewport()->update();
}

void THtmlViewer::mousePressEvent(QMouseEvent* event) {
    pressedAnchor_ = anchorAt(event->position().toPoint());
    QTextBrowser::mousePressEvent(event);
}

void THtmlViewer::mouseMoveEvent(QMouseEvent* event) {
    QTextBrowser::mouseMoveEvent(event);
    const QString over = anchorAt(event->position().toPoint());
    if (over != overAnchor_) {
        overAnchor_ = over;
        colourLinks();
    }
}

void THtmlViewer::leaveEvent(QEvent* event) {
    QTextBrowser::leaveEvent(event);
    if (!overAnchor_.isEmpty()) {
        overAnchor_.clear();
        colourLinks();
    }
}

void THtmlViewer::linkClicked(const QUrl& url) {
    // The anchor's text as the page wrote it; the QUrl may have normalised it.
    QString target = pressedAnchor_;
    if (target.isEmpty()) target = url.toString();
    pressedAnchor_.clear();
    bool handled = false;
    if (OnHotSpotClick) OnHotSpotClick(this, target, handled);
    visited_.insert(target);
    colourLinks();
    if (!handled && target.startsWith(QLatin1Char('#')) && target.size() > 1)
        scrollToAnchor(target.mid(1));
}

void THtmlViewer::colourLinks() {
    struct Span {
        int from, to;
        QColor colour;
    };
    // Collected first: recolouring splits and merges the fragments.
    QList<Span> spans;
    QTextDocument* doc = document();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const QString href = format.anchorHref();
            if (!format.isAnchor() || href.isEmpty()) continue;
            const QColor colour = href == overAnchor_       ? DefOverLinkColor
                                  : visited_.contains(href) ? DefVisitedLinkColor
                                                            : DefHotSpotColor;
            if (format.foreground().color() != colour)
                spans.append(
                    {fragment.position(), fragment.position() + fragment.length(), colour});
        }
    }
    for (const Span& span : spans) {
        QTextCursor cursor(doc);
        cursor.setPosition(span.from);
        cursor.setPosition(span.to, QTextCursor::KeepAnchor);
        QTextCharFormat recolour;
        recolour.setForeground(span.colour);
        cursor.mergeCharFormat(recolour);
    }
}
