// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FrmGestionSignatures.h"

#include "WindowFixture.h"
#include "signatures/SignatureTable.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QScrollBar>

namespace lantrivex::ui {
namespace {

constexpr const char* kPath = "/srv/lantrivex/Signatures.txt";
const std::string kThree = "\"W6BNMSWD\",\"doc\",\"Word 6 Document\"\r\n"
                           "\"XDOCXPR3\",\"qxd\",\"Quark XPress Document\"\r\n"
                           "\"8BIMPHSP\",\"psd\",\"Photoshop Image\"\r\n";

struct SignatureDialog : ::testing::Test {
    fakes::FakeFileSystem files;
    fakes::FakeNotifier notifier;
    signatures::SignatureTable table;
    std::unique_ptr<FrmGestionSignatures> dlg;

    void open(LanguageFlag lang = kEnglish) {
        table.sSignaturesFile = kPath;
        files.putFile(kPath, kThree);
        dlg = std::make_unique<FrmGestionSignatures>(table, files, notifier, lang);
        dlg->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
    }
    template <class T> T* child(const char* name) { return dlg->findChild<T*>(name); }
    QTreeWidget* list() { return child<QTreeWidget>("lstSignatures"); }
    QString msg() { return child<QLabel>("lblMsg")->text(); }
    QColor msgColour() { return child<QLabel>("lblMsg")->palette().color(QPalette::WindowText); }
    // The rows as "text0|text1|text2", or the first column alone.
    QStringList shown(bool whole = false) {
        QStringList out;
        for (int i = 0; i < list()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* row = list()->topLevelItem(i);
            out << (whole ? QStringList{row->text(0), row->text(1), row->text(2)}.join('|')
                          : row->text(0));
        }
        return out;
    }
    QStringList fields() {
        return {child<QLineEdit>("txtSignature")->text(), child<QLineEdit>("txtExtension")->text(),
                child<QLineEdit>("txtType")->text()};
    }
    void type(const QString& signature, const QString& extension, const QString& description) {
        child<QLineEdit>("txtSignature")->setText(signature);
        child<QLineEdit>("txtExtension")->setText(extension);
        child<QLineEdit>("txtType")->setText(description);
    }
    void click(const char* button) {
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
    }
    void clickRow(int row) {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                          list()->visualItemRect(list()->topLevelItem(row)).center());
    }
};

TEST_F(SignatureDialog, OpensWithTheFileTheCaptionsAndTheLayout) {
    open();
    EXPECT_EQ(dlg->windowTitle(), "Lantrivex - Macintosh signatures (3)");
    EXPECT_TRUE(dlg->isModal());
    EXPECT_EQ(dlg->size(), QSize(499, 415));
    EXPECT_EQ(shown(true),
              (QStringList{"W6BNMSWD|doc|Word 6 Document", "XDOCXPR3|qxd|Quark XPress Document",
                           "8BIMPHSP|psd|Photoshop Image"}));
    EXPECT_EQ(list()->topLevelItem(1)->data(0, Qt::UserRole).toString(), "KXDOCXPR3");
    EXPECT_TRUE(child<QPushButton>("cmdAjouter")->isDefault());
    EXPECT_EQ(child<QGroupBox>("Frame1")->geometry(), QRect(0, 232, 497, 145));
    EXPECT_EQ(child<QLineEdit>("txtType")->geometry(), QRect(192, 16, 298, 25)) << "in the frame";
}

// A scroll bar wider than the design's 16 pixels (Wine's, a theme's) brings no horizontal one.
TEST_F(SignatureDialog, NoHorizontalScrollBarBesideAWideVerticalOne) {
    struct WideScrollBars : QProxyStyle {
        int pixelMetric(PixelMetric metric, const QStyleOption* option,
                        const QWidget* widget) const override {
            return metric == PM_ScrollBarExtent ? 24
                                                : QProxyStyle::pixelMetric(metric, option, widget);
        }
    };
    std::string many;
    for (int i = 0; i < 40; ++i) {
        many += "\"SIG" + std::to_string(10000 + i) + "\",\"x\",\"A long enough description\"\r\n";
    }
    table.sSignaturesFile = kPath;
    files.putFile(kPath, many);
    dlg = std::make_unique<FrmGestionSignatures>(table, files, notifier, kEnglish);
    WideScrollBars style;
    for (QWidget* part :
         {static_cast<QWidget*>(list()), static_cast<QWidget*>(list()->verticalScrollBar()),
          static_cast<QWidget*>(list()->horizontalScrollBar())}) {
        part->setStyle(&style);
    }
    dlg->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
    QCoreApplication::processEvents();
    EXPECT_TRUE(list()->verticalScrollBar()->isVisible());
    EXPECT_FALSE(list()->horizontalScrollBar()->isVisible());
    EXPECT_EQ(list()->columnWidth(0), 96);
    EXPECT_EQ(list()->columnWidth(1), 96);
    dlg.reset(); // before the style it uses
}

TEST_F(SignatureDialog, EditingThroughTheControls) {
    open();
    type("TEXTttxt", "", "Texte");
    QTest::keyClick(child<QLineEdit>("txtType"), Qt::Key_Return);
    EXPECT_EQ(shown(), (QStringList{"W6BNMSWD", "XDOCXPR3", "8BIMPHSP", "TEXTttxt"}));
    EXPECT_EQ(msg(), "Added Signature: TEXTttxt");
    EXPECT_EQ(msgColour(), QColor(255, 0, 255));
    EXPECT_EQ(dlg->windowTitle(), "Lantrivex - Macintosh Signatures (4)");
    EXPECT_TRUE(list()->topLevelItem(3)->isSelected());
    EXPECT_TRUE(child<QLineEdit>("txtSignature")->hasFocus());
    EXPECT_EQ(fields(), (QStringList{"TEXTttxt", "", "Texte"})) << "the boxes keep their text";

    clickRow(1);
    EXPECT_EQ(msg(), "") << "a click clears the message";
    EXPECT_EQ(fields(), (QStringList{"XDOCXPR3", "qxd", "Quark XPress Document"}));
    type("xdocxpr3", "qxp", "QuarkXPress 4");
    click("cmdAjouter");
    EXPECT_EQ(msg(), "Modified Signature: xdocxpr3");
    EXPECT_EQ(shown(true)[1], "xdocxpr3|qxp|QuarkXPress 4");

    click("cmdSupprimer");
    EXPECT_EQ(shown(), (QStringList{"W6BNMSWD", "8BIMPHSP", "TEXTttxt"}));
    EXPECT_EQ(msg(), "Removed Signature: xdocxpr3");
    click("cmdSupprimer");
    EXPECT_EQ(msg(), "Select a signature to remove");
    EXPECT_EQ(msgColour(), QColor(255, 0, 0));
    EXPECT_EQ(notifier.beeps, 1);
    clickRow(0);
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_Delete);
    EXPECT_EQ(shown(), (QStringList{"8BIMPHSP", "TEXTttxt"}));
}

TEST_F(SignatureDialog, HeaderClicksFlipTheSortAndOnlyAChangedListAsksOnClosing) {
    open();
    QHeaderView* header = list()->header();
    for (const auto& [column, order] : {std::pair{0, "XDOCXPR3 W6BNMSWD 8BIMPHSP"},
                                        {0, "8BIMPHSP W6BNMSWD XDOCXPR3"},
                                        {2, "W6BNMSWD XDOCXPR3 8BIMPHSP"}}) { // flips on any column
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          {header->sectionViewportPosition(column) + 10, header->height() / 2});
        EXPECT_EQ(shown().join(' '), order);
    }
    click("cmdOK");
    EXPECT_FALSE(dlg->isVisible()) << "a sorted list is not a changed one";
    EXPECT_TRUE(files.replaced.empty());

    open();
    type("TEXTttxt", "txt", "Text");
    click("cmdAjouter");
    notifier.answers = {false, false, false, true};
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    click("cmdAnnuler");
    dlg->close(); // the close box
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(list()->topLevelItemCount(), 4) << "No keeps the list";
    EXPECT_EQ(notifier.questions.size(), 3u);
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_TRUE(files.replaced.empty()) << "Yes discards";
    EXPECT_TRUE(table.colDescriptions.empty()) << "no reload either";
}

TEST_F(SignatureDialog, AFailedSaveLosesNothing) {
    open(kFrench);
    type("TEXTttxt", "", "Texte");
    click("cmdAjouter");
    files.replaceFailure = "Permission denied";
    click("cmdOK");
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(*files.contents(kPath), kThree);
    EXPECT_EQ(notifier.messages.at(0).icon, platform::MessageIcon::Exclamation);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    files.replaceFailure.reset();
    click("cmdOK");
    EXPECT_FALSE(dlg->isVisible()) << "the same list saves once the folder is writable";
    EXPECT_EQ(table.size(), 4u);
}

} // namespace
} // namespace lantrivex::ui
