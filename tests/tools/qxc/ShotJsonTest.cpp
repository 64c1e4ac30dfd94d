#include "ShotJson.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

TEST(ShotJson, FieldsInOrderWithNullForMissingValues) {
    const Shot shot{7, "/a/b.png", "b.png", std::nullopt, std::nullopt};
    EXPECT_EQ(ShotJson::line(shot),
              R"({"id":7,"path":"/a/b.png","filename":"b.png","takenAt":null,"ocrText":null})");
}

TEST(ShotJson, EscapesTextSoEveryLineParsesBack) {
    const Shot shot{9007199254740993, "/x/\"q\".png", "\"q\".png", "2025-03-14T09:26:53",
                    QString::fromUtf8("line one\nline\ttwo \\ 日本語 \x01")};
    const QByteArray line = ShotJson::line(shot);
    EXPECT_FALSE(line.contains('\n'));
    EXPECT_TRUE(line.startsWith("{\"id\":9007199254740993,"));
    const QJsonObject object = QJsonDocument::fromJson(line).object();
    EXPECT_EQ(object.value("path").toString(), shot.path);
    EXPECT_EQ(object.value("takenAt").toString(), *shot.takenAt);
    EXPECT_EQ(object.value("ocrText").toString(), *shot.ocrText);
}
