#include "ui/FrmGestionSignatures.h"

#include "fakes/FakeFileSystem.h"
#include "fakes/FakeNotifier.h"
#include "signatures/SignatureTable.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <memory>

namespace lantrivex::ui {
namespace {

constexpr const char* kPath = "/srv/lantrivex/Signatures.txt";
const std::string kThree = "\"W6BNMSWD\",\"doc\",\"Word 6 Document\"\r\n"
                           "\"XDOCXPR3\",\"qxd\",\"Quark XPress Document\"\r\n"
                           "\"8BIMPHSP\",\"psd\",\"Photoshop Image\"\r\n";
const QColor kRed(255, 0, 0);
const QColor kMagenta(255, 0, 255);

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
    template <class T> T* child(const char* name) {
        T* w = dlg->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QTreeWidget* list() { return child<QTreeWidget>("lstSignatures"); }
    QString msg() { return child<QLabel>("lblMsg")->text(); }
    QColor msgColour() { return child<QLabel>("lblMsg")->palette().color(QPalette::WindowText); }
    QString field(const char* name) { return child<QLineEdit>(name)->text(); }
    QStringList shown() {
        QStringList out;
        for (int i = 0; i < list()->topLevelItemCount(); ++i) {
            out << list()->topLevelItem(i)->text(0);
        }
        return out;
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
    void clickHeader(int column) {
        QHeaderView* header = list()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          {header->sectionViewportPosition(column) + 10, header->height() / 2});
    }
};

TEST_F(SignatureDialog, OpensWithTheFileTheCaptionsAndTheLayout) {
    open();
    EXPECT_EQ(dlg->windowTitle(), "Lantrivex - Macintosh signatures (3)");
    EXPECT_TRUE(dlg->isModal());
    EXPECT_EQ(dlg->size(), QSize(499, 415));
    EXPECT_EQ(shown(), (QStringList{"W6BNMSWD", "XDOCXPR3", "8BIMPHSP"}));
    QTreeWidgetItem* second = list()->topLevelItem(1);
    EXPECT_EQ(second->text(1), "qxd");
    EXPECT_EQ(second->text(2), "Quark XPress Document");
    EXPECT_EQ(second->data(0, Qt::UserRole).toString(), "KXDOCXPR3");
    EXPECT_EQ(list()->headerItem()->text(2), "Type Macintosh");
    EXPECT_TRUE(list()->selectedItems().isEmpty());
    EXPECT_EQ(msg(), "");
    EXPECT_EQ(child<QLabel>("lblExtension")->text(), "Extension\n[optional}");
    EXPECT_EQ(child<QPushButton>("cmdAjouter")->text(), "&Add/Modify");
    EXPECT_TRUE(child<QPushButton>("cmdAjouter")->isDefault());
    EXPECT_TRUE(child<QPushButton>("cmdOK")->font().bold());
    // Columns of 1440, 1440 and 7455 - 2880 - 300 twips; the fields stand under them.
    EXPECT_EQ(list()->columnWidth(0), 96);
    EXPECT_EQ(list()->columnWidth(2), 285);
    auto* frame = child<QGroupBox>("Frame1");
    EXPECT_EQ(frame->geometry(), QRect(0, 232, 497, 145));
    EXPECT_EQ(child<QLineEdit>("txtType")->geometry(), QRect(192, 16, 298, 25));
    EXPECT_EQ(child<QLineEdit>("txtType")->parentWidget(), frame);
    EXPECT_EQ(child<QLabel>("lblMsg")->parentWidget(), frame);
    EXPECT_EQ(child<QPushButton>("cmdOK")->geometry(), QRect(80, 384, 97, 25));
}

TEST_F(SignatureDialog, RefusedEntriesShowTheirMessageInRedWithABeep) {
    const std::tuple<LanguageFlag, const char*, const char*, const char*> rows[] = {
        {kEnglish, "W6BNMSW", "x", "Type/Creator signature must be 8 characters"},
        {kFrench, "W6BNMSWD", "日本語", "Caractère non admis dans le fichier des Signatures"},
    };
    for (const auto& [lang, signature, description, message] : rows) {
        open(lang);
        type(QString::fromUtf8(signature), "doc", QString::fromUtf8(description));
        click("cmdAjouter");
        EXPECT_EQ(msg(), QString::fromUtf8(message));
        EXPECT_EQ(msgColour(), kRed);
        EXPECT_EQ(list()->topLevelItemCount(), 3);
        QTest::keyClick(dlg.get(), Qt::Key_Escape);
        EXPECT_FALSE(dlg->isVisible()) << "the list is unchanged: no question";
    }
    EXPECT_EQ(notifier.beeps, 2);
    EXPECT_TRUE(notifier.questions.empty());
    EXPECT_EQ(dlg->windowTitle(), "Lantrivex - Signatures Macintosh (3)");
}

TEST_F(SignatureDialog, EditingThroughTheControls) {
    open();
    type("TEXTttxt", "", "Texte");
    QTest::keyClick(child<QLineEdit>("txtType"), Qt::Key_Return);
    EXPECT_EQ(shown(), (QStringList{"W6BNMSWD", "XDOCXPR3", "8BIMPHSP", "TEXTttxt"}));
    EXPECT_EQ(list()->topLevelItem(3)->data(0, Qt::UserRole).toString(), "KTEXTttxt");
    EXPECT_EQ(msg(), "Added Signature: TEXTttxt");
    EXPECT_EQ(msgColour(), kMagenta);
    EXPECT_EQ(dlg->windowTitle(), "Lantrivex - Macintosh Signatures (4)");
    EXPECT_TRUE(list()->topLevelItem(3)->isSelected());
    EXPECT_TRUE(child<QLineEdit>("txtSignature")->hasFocus());
    EXPECT_EQ(field("txtType"), "Texte") << "the boxes keep their text";

    clickRow(1);
    EXPECT_EQ(msg(), "") << "a click clears the message";
    EXPECT_EQ(field("txtSignature"), "XDOCXPR3");
    EXPECT_EQ(field("txtExtension"), "qxd");
    EXPECT_EQ(field("txtType"), "Quark XPress Document");
    type("xdocxpr3", "qxp", "QuarkXPress 4");
    click("cmdAjouter");
    EXPECT_EQ(msg(), "Modified Signature: xdocxpr3");
    QTreeWidgetItem* row = list()->topLevelItem(1);
    EXPECT_EQ(QStringList({row->text(0), row->text(1), row->text(2)}),
              (QStringList{"xdocxpr3", "qxp", "QuarkXPress 4"}));
    EXPECT_EQ(row->data(0, Qt::UserRole).toString(), "KXDOCXPR3");
    EXPECT_TRUE(row->isSelected());

    click("cmdSupprimer");
    EXPECT_EQ(shown(), (QStringList{"W6BNMSWD", "8BIMPHSP", "TEXTttxt"}));
    EXPECT_EQ(msg(), "Removed Signature: xdocxpr3");
    EXPECT_EQ(dlg->windowTitle(), "Lantrivex - Macintosh Signatures (3)");
    EXPECT_TRUE(list()->selectedItems().isEmpty());
    click("cmdSupprimer");
    EXPECT_EQ(msg(), "Select a signature to remove");
    EXPECT_EQ(msgColour(), kRed);
    EXPECT_EQ(notifier.beeps, 1);
    clickRow(0);
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_Delete);
    EXPECT_EQ(shown(), (QStringList{"8BIMPHSP", "TEXTttxt"}));
}

TEST_F(SignatureDialog, HeaderClicksFlipTheSortAndChangeNothingToSave) {
    open();
    clickHeader(0);
    EXPECT_EQ(shown(), (QStringList{"XDOCXPR3", "W6BNMSWD", "8BIMPHSP"}));
    EXPECT_EQ(list()->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    clickHeader(0);
    EXPECT_EQ(shown(), (QStringList{"8BIMPHSP", "W6BNMSWD", "XDOCXPR3"}));
    clickHeader(2); // another column: the direction flips all the same
    EXPECT_EQ(shown(), (QStringList{"W6BNMSWD", "XDOCXPR3", "8BIMPHSP"}));
    EXPECT_EQ(list()->header()->sortIndicatorSection(), 2);
    EXPECT_EQ(list()->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    click("cmdOK");
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_TRUE(files.replaced.empty());
    EXPECT_TRUE(table.colDescriptions.empty()) << "no reload either";
}

TEST_F(SignatureDialog, ClosingAChangedListAsksFirst) {
    open();
    type("TEXTttxt", "txt", "Text");
    click("cmdAjouter");
    notifier.answers = {false, false, false, true};
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    click("cmdAnnuler");
    dlg->close(); // the close box
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(list()->topLevelItemCount(), 4) << "No keeps the list";
    ASSERT_EQ(notifier.questions.size(), 3u);
    EXPECT_EQ(notifier.questions[0], "Modified list\r\nDiscard changes");
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_TRUE(files.replaced.empty()) << "Yes discards";
    EXPECT_TRUE(table.colDescriptions.empty());
}

TEST_F(SignatureDialog, AFailedSaveLosesNothing) {
    open(kFrench);
    type("TEXTttxt", "", "Texte");
    click("cmdAjouter");
    files.replaceFailure = "Permission denied";
    click("cmdOK");
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(*files.contents(kPath), kThree);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_EQ(list()->topLevelItemCount(), 4);
    EXPECT_TRUE(table.colDescriptions.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    files.replaceFailure.reset();
    click("cmdOK");
    EXPECT_FALSE(dlg->isVisible()) << "the same list saves once the folder is writable";
    EXPECT_EQ(table.size(), 4u);
}

} // namespace
} // namespace lantrivex::ui
