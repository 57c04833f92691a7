#pragma once

#include <QObject>
#include <QVariant>

// Small integer state (a cell's card code, a page number, a score) rides on the
// controls themselves. A dynamic property lets every QObject carry one, whether it
// is one of our controls or a stock QLabel.
inline constexpr const char* kTagProperty = "tag";

inline int tagOf(const QObject* object) {
    return object ? object->property(kTagProperty).toInt() : 0;
}

inline void setTag(QObject* object, int tag) {
    if (object) object->setProperty(kTagProperty, tag);
}
