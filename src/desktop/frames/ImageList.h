#pragma once
// The image list ILDT of the parameter frames' image combo boxes: the
// pictures of the source headings ("K0" ... "K220"), of a named value
// ("DOT") and of the task, sub and operation headings ("TASK", "SUB",
// "MATH"), 32 x 32 pixels each, in the palette's style.
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

class ImageList {
public:
    // Every key of the list, in the order they were added.
    QStringList Keys() const;
    bool Exists(const QString& key) const;
    // The picture under the key; a key that the list does not hold fails with 35601.
    QPixmap Picture(const QString& key) const;
    QIcon Icon(const QString& key) const;
};

// The main window's image list of the frames.
const ImageList& ILDT();
