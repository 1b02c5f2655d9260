#pragma once
// What a user does in a frame's image combo box: choose an item by its text
// (as a click in the list does) or type into its edit text.
#include "desktop/frames/FrameWidgets.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

inline void chooseText(ImageComboBox* box, const char* text)
{
    const int i = box->Model().IndexOfText(QString::fromLatin1(text));
    ASSERT_GE(i, 0) << text;
    box->setCurrentIndex(i);
    Q_EMIT box->activated(i);
}

inline void typeInto(ImageComboBox* box, const char* text)
{
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), QString::fromLatin1(text));
}
