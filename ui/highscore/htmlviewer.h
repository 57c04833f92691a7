#pragma once
// The page viewer of the high-score window: shows an HTML text from the
// vendor's server in the window's colours and reports clicked links. It
// reads nothing by itself except pictures of the vendor's own server, which
// arrive in the background; never a local file.
#include <QColor>
#include <QHash>
#include <QSet>
#include <QTextBrowser>
#include <QUrl>
#include <functional>

class THTTPGet;

class THtmlViewer : public QTextBrowser {
    Q_OBJECT
  public:
    explicit THtmlViewer(QWidget* parent = nullptr);
    ~THtmlViewer() override;

    // Replaces the page; `name` is the document's name (empty for text that
    // did not come from a file).
    void LoadFromString(const QString& html, const QString& name = {});

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
    // arrived, nothing else.
    QVariant loadResourceFor(int type, const QUrl& name);

    // Pictures still on their way (tests).
    int picturesPending() const { return static_cast<int>(fetching_.size() + queue_.size()); }

  protected:
    QVariant loadResource(int type, const QUrl& name) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void linkClicked(const QUrl& url);
    // The path of a picture on the vendor's server, or empty for any other.
    QString vendorPicture(const QString& src) const;
    void fetchNext();
    void pictureArrived(const QString& address, const QByteArray& bytes);
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
    QHash<QString, QImage> pictures_;      // by the src text of the page
    QHash<QString, QStringList> waiting_;  // path -> src texts that need it
    QStringList queue_;                    // paths not fetched yet
    QHash<THTTPGet*, QString> fetching_;   // at most kParallelFetches
};
