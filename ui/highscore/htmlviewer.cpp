#include "ui/highscore/htmlviewer.h"

#include <QBuffer>
#include <QImageReader>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QThreadPool>

#include "net/httpget.h"
#include "net/server.h"
#include "ui/highscore/pagesubset.h"

namespace {

constexpr int kParallelFetches = 4;
constexpr std::int64_t kMaxPictureBytes = 2 * 1024 * 1024;
const QString kPictureScheme = QStringLiteral("picture");

QString cssColour(const QColor& c) {
    return c.name(QColor::HexRgb);
}

// The path of a picture on the vendor's server, or empty for any other: a
// path of the server itself, or a full address naming exactly its origin.
QString vendorPath(QStringView src, const QString& origin) {
    if (src.startsWith(u'/') && !src.startsWith(u"//")) return src.toString();
    if (src.size() > origin.size() && src.startsWith(origin, Qt::CaseInsensitive) &&
        src.at(origin.size()) == u'/')
        return src.mid(origin.size()).toString();
    return {};
}

// A picture as the page may show it, decoded within the budget; null when it
// is not a picture or too large to decode.
QImage decodePicture(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > THtmlViewer::kMaxDecodePixels)
        return {};
    QImage image = reader.read();
    if (image.width() > THtmlViewer::kPictureBox.width() ||
        image.height() > THtmlViewer::kPictureBox.height())
        image =
            image.scaled(THtmlViewer::kPictureBox, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

// Stands in for a picture until it arrives, and for one that never does:
// a document given no picture at all would read one from a file of that name.
const QImage& blank() {
    static const QImage image = [] {
        QImage i(1, 1, QImage::Format_ARGB32);
        i.fill(Qt::transparent);
        return i;
    }();
    return image;
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

// Runs `work` on the thread pool and `done` with its result back on
// `receiver`'s thread, unless the receiver is gone by then.
template <class Result>
void inBackground(QObject* receiver, std::function<Result()> work,
                  std::function<void(const Result&)> done) {
    QThreadPool::globalInstance()->start(
        [receiver = QPointer<QObject>(receiver), work = std::move(work), done = std::move(done)] {
            Result result = work();
            QMetaObject::invokeMethod(
                qApp,
                [receiver, result = std::move(result), done] {
                    if (receiver) done(result);
                },
                Qt::QueuedConnection);
        });
}

}  // namespace

struct THtmlViewer::Parsed {
    QString html;
    QStringList pictures;
};

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
    relayout_.setSingleShot(true);
    relayout_.setInterval(100);
    connect(&relayout_, &QTimer::timeout, this, [this] {
        // Lay the page out again with the pictures' real sizes, keeping the place.
        const int scrolled = verticalScrollBar()->value();
        document()->markContentsDirty(0, document()->characterCount());
        verticalScrollBar()->setValue(scrolled);
        viewport()->update();
    });
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
    const quint64 generation = ++generation_;
    loading_ = true;
    document()->setMetaInformation(QTextDocument::DocumentUrl, name);
    inBackground<Parsed>(
        this,
        [html, origin = quintelle::net::vendorServer().origin()] {
            const QByteArray text = html.toUtf8();
            const quintelle::ui::PageSubset subset = quintelle::ui::pageSubset(
                std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                [&origin](std::string_view src) {
                    return !vendorPath(QString::fromUtf8(src.data(), qsizetype(src.size())), origin)
                                .isEmpty();
                });
            Parsed page{QString::fromStdString(subset.html), {}};
            for (const std::string& src : subset.pictures)
                page.pictures << vendorPath(QString::fromStdString(src), origin);
            if (subset.shortened)
                page.html += QStringLiteral("<p><i>The rest of this page is not shown.</i></p>");
            return page;
        },
        [this, generation](const Parsed& page) {
            if (generation == generation_) showParsed(page);
        });
}

void THtmlViewer::showParsed(const Parsed& page) {
    pictures_ = page.pictures;
    queue_.clear();
    for (int i = 0; i < pictures_.size(); ++i) queue_ << i;
    setPage(page.html);
    loading_ = false;
    fetchNext();
    emit pageShown();
}

void THtmlViewer::ShowMessage(const QString& text) {
    ++generation_;
    loading_ = false;
    pictures_.clear();
    queue_.clear();
    setPage(QStringLiteral("<p align=\"center\">") + text.toHtmlEscaped() + QStringLiteral("</p>"));
}

void THtmlViewer::setPage(const QString& html) {
    arrived_.clear();
    pagePixels_ = 0;
    applyPresentation();
    overAnchor_.clear();
    pressedAnchor_.clear();
    setHtml(html);  // not setSource: there is no history to go back through
    clearHistory();
    colourLinks();
}

QVariant THtmlViewer::loadResource(int type, const QUrl& name) {
    return loadResourceFor(type, name);
}

QVariant THtmlViewer::loadResourceFor(int type, const QUrl& name) {
    // Only the page's own pictures, by the names the subset gave them:
    // nothing local, no style sheets, nothing from elsewhere.
    if (type != QTextDocument::ImageResource) return {};
    if (name.scheme() == kPictureScheme) {
        bool number = false;
        const int index = name.path().toInt(&number);
        if (const auto found = arrived_.constFind(index); number && found != arrived_.constEnd())
            return *found;
    }
    return blank();
}

void THtmlViewer::fetchNext() {
    while (!queue_.isEmpty() && fetching_.size() < kParallelFetches) {
        const int index = queue_.takeFirst();
        auto* get = new THTTPGet(this);
        quintelle::net::aimAtVendor(*get, pictures_.at(index));
        get->MaxBodyBytes = kMaxPictureBytes;
        const quint64 generation = generation_;
        get->OnDoneString = [this, generation](THTTPGet* sender, const QByteArray& body) {
            const int index = fetching_.take(sender);
            sender->deleteLater();
            if (generation == generation_) {
                ++decoding_;
                inBackground<QImage>(
                    this, [body] { return decodePicture(body); },
                    [this, generation, index](const QImage& image) {
                        --decoding_;
                        if (generation == generation_) pictureArrived(index, image);
                    });
            }
            fetchNext();
        };
        get->OnError = [this](THTTPGet* sender) {
            // Left out of the page: its stand-in stays.
            fetching_.remove(sender);
            sender->deleteLater();
            fetchNext();
        };
        fetching_.insert(get, index);
        get->StartFetch();
    }
}

void THtmlViewer::pictureArrived(int index, const QImage& image) {
    const qint64 pixels = qint64(image.width()) * image.height();
    if (image.isNull() || pagePixels_ + pixels > kPagePixels) return;
    pagePixels_ += pixels;
    arrived_.insert(index, image);
    document()->addResource(QTextDocument::ImageResource,
                            QUrl(kPictureScheme + u':' + QString::number(index)), image);
    relayout_.start();
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
    if (!handled && target.startsWith(QLatin1Char('#')) && target.size() > 1) {
        scrollToAnchor(target.mid(1));
        MarkVisited(target);
    }
}

void THtmlViewer::MarkVisited(const QString& target) {
    visited_.insert(target);
    colourLinks();
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
