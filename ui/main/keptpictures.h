#pragma once
// Pictures drawn in code, drawn once and kept.
//
// Drawing the board, the logo and the panels is most of what a start costs.
// Their pixels depend only on the program's build, Qt's version, the installed
// fonts and the pixel ratio. So each picture is drawn once per process and
// ratio and shared; once the program has named a folder for them, it is also
// stored there, on a thread of its own, and later starts read the pixels back
// instead of drawing. A stored picture that is missing, damaged or of another
// build is drawn again.
#include <QPixmap>
#include <QString>
#include <functional>

namespace quintelle::ui {

using PictureDrawing = std::function<QPixmap(qreal dpr)>;

// Whether pictures at `dpr` are kept: quarter steps (1, 1.25, 1.5, ...), the
// ratios of screens and of the board's whole and half steps.
bool isKeptRatio(qreal dpr);

// The picture called `name` (one name per drawing and size) at `dpr`; at a
// ratio that is not kept, drawn afresh.
QPixmap keptPicture(const QString& name, qreal dpr, const PictureDrawing& draw);

// From now on keeps pictures under `folder`, in a subfolder for this build,
// Qt and the fonts (other builds' subfolders are removed when it is first
// written), or in memory only when `folder` is empty. Forgets what was drawn,
// once what is still being stored is in its files.
void keepPicturesIn(const QString& folder);

// Pictures are stored in the background; returns once every picture drawn so
// far is in its file.
void finishKeepingPictures();

// Where pictures are stored now; empty when they are kept in memory only.
QString keptPicturesFolder();

}  // namespace quintelle::ui
