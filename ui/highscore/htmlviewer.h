#pragma once
// The page viewer of the high-score window: shows an HTML text from the
// vendor's server in the window's colours and reports clicked links. The page
// is parsed on a worker thread into a bounded subset (pagesubset.h), so no
// page can freeze or crash the window; it reads nothing by itself except
// pictures of the vendor's own server, at most 64 a page, each decoded
// within a pixel budget; never a local file.
#include <QColor>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <functional>

class THTTPGet;

class THtmlViewer : public QTextBrowser {
    Q_OBJECT
  public:
    // Pictures larger than this are not decoded at all; those kept are
    // scaled into kPictureBox and share kPagePixels on a page.
    static constexpr qint64 kMaxDecodePixels = 4 * 1024 * 1024;
    static constexpr QSize kPictureBox{1024, 1024};
    static constexpr qint64 kPagePixels = 8 * 1024 * 1024;

    explicit THtmlViewer(QWidget* parent = nullptr);
    ~THtmlViewer() override;

    // Replaces the page once it is parsed, which happens in the background;
    // `name` is the document's name (empty for text that did not come from a
    // file).
    void LoadFromString(const QString& html, const QString& name = {});
    // Replaces the page with a message of the program's own.
    void ShowMessage(const QString& text);
    // The link the handler opened, coloured as visited from now on.
    void MarkVisited(const QString& target);

    // Presentation; applied at the next LoadFromString.
    QColor DefBackground{166, 103, 51};
    QString DefFontName = QStringLiteral("Times New Roman");
    QString DefPreFontName = QStringLiteral("Arial");
    QColor DefFontColor{250, 244, 235};
    QColor DefHotSpotColor{0, 128, 0};
    QColor DefVisitedLinkColor{255, 255, 255};
    QColor DefOverLinkColor{0, 128, 0};

    // A clicked link, with its target exactly as the page wrote it. When the
    // handler leaves `handled` false, an in-page anchor ("#name") is scrolled to.
    std::function<void(THtmlViewer* sender, const QString& target, bool& handled)> OnHotSpotClick;

    // What the page may load: a picture of the vendor's server once it has
    // arrived, a blank stand-in until then, nothing else.
    QVariant loadResourceFor(int type, const QUrl& name);

    // A page still being parsed, and pictures still on their way (tests).
    bool pageLoading() const { return loading_; }
    int picturesPending() const {
        return static_cast<int>(fetching_.size() + queue_.size()) + decoding_;
    }

  signals:
    // The page given to LoadFromString is on screen.
    void pageShown();

  protected:
    QVariant loadResource(int type, const QUrl& name) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    struct Parsed;
    void showParsed(const Parsed& page);
    void setPage(const QString& html);
    void linkClicked(const QUrl& url);
    void fetchNext();
    void pictureArrived(int index, const QImage& image);
    // Colours every link: visited, under the pointer, or plain.
    void colourLinks();
    void applyPalette();
    // The page's fonts and colours, set when it is first shown or filled:
    // laying out even an empty page loads its fonts, which a viewer that
    // stays hidden should not pay for.
    void applyPresentation();

    QString pressedAnchor_;
    QString overAnchor_;
    QSet<QString> visited_;
    quint64 generation_ = 0;  // of the page; work for an older one is dropped
    bool loading_ = false;
    QStringList pictures_;        // the page's pictures: paths on the server
    QHash<int, QImage> arrived_;  // by index into pictures_
    qint64 pagePixels_ = 0;
    QList<int> queue_;                // pictures not fetched yet
    QHash<THTTPGet*, int> fetching_;  // at most kParallelFetches
    int decoding_ = 0;
    QTimer relayout_;  // pictures arriving together lay out once
};
