// A toolbar's pictures as a person looks at them: every button has one, none is blank, no two
// are alike; and each is pinned to a checksum of its pixels, so a picture drawn wrong or given
// to the wrong button is noticed.
//
// A picture redrawn on purpose: run the test with TALLYRIG_RENEW_PICTURES=1, look at the new
// pictures, and paste the table it prints over the test's table.
#pragma once

#include <QAction>
#include <QCryptographicHash>
#include <QIcon>
#include <QImage>
#include <QToolBar>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace tallyrig::testing {

// Button key -> the first 16 hexadecimal digits of the MD5 of its picture's pixels.
using PictureChecksums = std::map<std::string, std::string>;

inline std::string picture_checksum(const QImage& image) {
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    QCryptographicHash hash(QCryptographicHash::Md5);
    for (int y = 0; y < pixels.height(); ++y) {
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(pixels.constScanLine(y)),
                                    pixels.width() * 4));
    }
    return hash.result().toHex().left(16).toStdString();
}

inline void expect_toolbar_pictures(const QToolBar& toolbar, const PictureChecksums& expected) {
    const bool renew = qEnvironmentVariableIsSet("TALLYRIG_RENEW_PICTURES");
    std::vector<std::pair<QString, QImage>> seen;
    PictureChecksums found;
    for (const QAction* action : toolbar.actions()) {
        const QString key = action->data().toString();
        const QIcon icon = action->icon();
        ASSERT_FALSE(icon.isNull()) << key.toStdString();
        const QImage picture = icon.pixmap(icon.availableSizes().value(0))
                                   .toImage()
                                   .convertToFormat(QImage::Format_ARGB32);
        int inked = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                inked += qAlpha(picture.pixel(x, y)) > 128;
            }
        }
        EXPECT_GT(inked, picture.width() * picture.height() / 6) << key.toStdString() << " blank";
        for (const auto& [other, image] : seen) {
            EXPECT_NE(picture, image) << key.toStdString() << " looks like " << other.toStdString();
        }
        seen.emplace_back(key, picture);
        found[key.toStdString()] = picture_checksum(picture);
    }
    if (renew) {
        std::cout << "Pictures of " << toolbar.parentWidget()->objectName().toStdString() << ":\n";
        for (const auto& [key, checksum] : found) {
            std::cout << "    {\"" << key << "\", \"" << checksum << "\"},\n";
        }
        return;
    }
    EXPECT_EQ(found, expected) << "a picture changed; if on purpose, renew the table (see "
                                  "tests/support/toolbar_pictures.h)";
}

} // namespace tallyrig::testing
