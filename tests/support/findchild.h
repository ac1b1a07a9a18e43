#pragma once
// A control of a window by its object name and type. A missing one fails the
// test where it is looked up, by name, instead of crashing further on.
#include <gtest/gtest.h>

#include <QObject>
#include <QString>

namespace velmora::testkit {

template <typename W>
W* FindChild(const QObject* root, const QString& name) {
    W* found = root->findChild<W*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

template <typename W>
W* FindChild(const QObject* root, const char* name) {
    return FindChild<W>(root, QString::fromLatin1(name));
}

}  // namespace velmora::testkit
