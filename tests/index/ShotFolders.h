#pragma once

#include "SandboxHome.h"
#include "ShotRows.h"
#include "TestFiles.h"

#include <QStringList>

#include <gtest/gtest.h>

// The index's places in a throw-away home: the database, the Desktop (the
// default source folder), the capture folder and a folder for OCR helpers.
class ShotFolders : public ::testing::Test {
protected:
    QString database() const { return home.file(".glimvault/db.sqlite"); }
    QString desktop(const QString& name = {}) const { return home.file("Desktop/" + name); }
    QString captures(const QString& name = {}) const {
        return home.file(".glimvault/captures/" + name);
    }
    QString helper() const { return home.file("bin/qxocr"); }
    void installHelper(const QByteArray& body) const { TestFiles::writeScript(helper(), body); }

    // Files on the Desktop whose modification times follow the list order, the first the oldest.
    void addShots(const QStringList& names) const {
        for (qsizetype i = 0; i < names.size(); ++i) {
            TestFiles::write(desktop(names[i]), "image");
            TestFiles::setModificationTime(desktop(names[i]), 1'700'000'000 + i);
        }
    }
    std::optional<ShotRow> row(const QString& filename) const {
        return ShotRows::byFilename(database(), filename);
    }

    SandboxHome home;
};
