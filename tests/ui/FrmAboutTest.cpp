#include "ui/FrmAbout.h"

#include "fakes/FakeShellOpen.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace lantrivex::ui {
namespace {

struct AboutBox : ::testing::Test {
    fakes::FakeShellOpen shell;

    template <class T> static T* child(QWidget& w, const char* name) {
        T* c = w.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    static QString text(QWidget& w, const char* name) { return child<QLabel>(w, name)->text(); }
};

TEST_F(AboutBox, EnglishTextsWithTheCount) {
    for (std::size_t count : {std::size_t{0}, std::size_t{3}}) {
        FrmAbout box(kEnglish, count, shell);
        EXPECT_EQ(box.windowTitle(), "About...");
        EXPECT_EQ(text(box, "lblCredit"),
                  QString("Lantrivex 1.0 - Analyze Macintosh volumes index on NT Server\n(%1 known "
                          "signatures)")
                      .arg(count));
        EXPECT_EQ(text(box, "lblLink"), "www.lantrivex.example");
        EXPECT_EQ(text(box, "lblServeur"), "Connected Windows machine");
        EXPECT_EQ(text(box, "lblServeurMac"), "Macintosh File Server Name");
        EXPECT_EQ(text(box, "lblVolumeMac"), "Macintosh volume");
        EXPECT_EQ(text(box, "lblVolumeMacErr"),
                  "Invalid Macintosh volume\n(missing Windows directory)");
        EXPECT_EQ(child<QPushButton>(box, "cmdOK")->text(), "&OK");
    }
}

TEST_F(AboutBox, FrenchTextsWithTheCount) {
    for (std::size_t count : {std::size_t{0}, std::size_t{3}}) {
        FrmAbout box(kFrench, count, shell);
        EXPECT_EQ(box.windowTitle(), "A propos de...");
        EXPECT_EQ(text(box, "lblCredit"),
                  QString("Lantrivex 1.0 - Analyse des index des volumes Macintosh sur un serveur "
                          "NT\n(%1 signatures reconnues)")
                      .arg(count));
        EXPECT_EQ(text(box, "lblLink"), "www.lantrivex.example");
        EXPECT_EQ(text(box, "lblServeur"), "Machine Windows connectée");
        EXPECT_EQ(text(box, "lblServeurMac"), "Nom de serveur Macintosh");
        EXPECT_EQ(text(box, "lblVolumeMac"), "Volume Macintosh");
        EXPECT_EQ(text(box, "lblVolumeMacErr"),
                  "Volume Macintosh invalide\n(répertoire Windows absent)");
    }
}

TEST_F(AboutBox, LayoutAndLegendPictures) {
    FrmAbout box(kEnglish, 3, shell);
    EXPECT_TRUE(box.isModal());
    EXPECT_EQ(box.size(), QSize(439, 205));
    auto* frame = child<QGroupBox>(box, "Frame1");
    EXPECT_EQ(frame->geometry(), QRect(8, 88, 425, 73));
    for (const char* name : {"Picture1", "Picture2", "Picture3", "Picture8"}) {
        QLabel* picture = child<QLabel>(box, name);
        EXPECT_EQ(picture->parentWidget(), frame);
        EXPECT_EQ(picture->size(), QSize(16, 16)) << name;
        EXPECT_FALSE(picture->pixmap().isNull()) << name;
    }
    EXPECT_EQ(child<QLabel>(box, "Picture8")->pos(), QPoint(216, 40));
    EXPECT_EQ(child<QLabel>(box, "lblLink")->pos(), QPoint(103, 64));
    EXPECT_EQ(child<QPushButton>(box, "cmdOK")->geometry(), QRect(168, 168, 97, 30));
    EXPECT_TRUE(child<QPushButton>(box, "cmdOK")->isDefault());
}

TEST_F(AboutBox, EnterAndEscapeClose) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        FrmAbout box(kFrench, 3, shell);
        box.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
        QTest::keyClick(&box, key);
        EXPECT_FALSE(box.isVisible()) << key;
    }
    FrmAbout box(kEnglish, 3, shell);
    box.show();
    QTest::mouseClick(child<QPushButton>(box, "cmdOK"), Qt::LeftButton);
    EXPECT_FALSE(box.isVisible());
}

TEST_F(AboutBox, TheLinkOpensTheMakersAddressAndTheBoxStays) {
    shell.result = false; // a failure of the desktop is not reported
    FrmAbout box(kEnglish, 3, shell);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    QLabel* link = child<QLabel>(box, "lblLink");
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(shell.opened, (std::vector<std::string>{"http://www.lantrivex.example/"}));
    EXPECT_TRUE(box.isVisible());
    QTest::mouseClick(child<QLabel>(box, "lblCredit"), Qt::LeftButton);
    EXPECT_EQ(shell.opened.size(), 1u);
}

} // namespace
} // namespace lantrivex::ui
