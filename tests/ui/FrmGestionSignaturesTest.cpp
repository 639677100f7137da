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
#include <ostream>

// Readable QStrings in failure messages.
static void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
static void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '{' << list.join(QStringLiteral(", ")).toStdString() << '}';
}

namespace lantrivex::ui {
namespace {

using platform::MessageIcon;

constexpr const char* kPath = "/srv/lantrivex/Signatures.txt";

const std::string kThree = "\"W6BNMSWD\",\"doc\",\"Word 6 Document\"\r\n"
                           "\"XDOCXPR3\",\"qxd\",\"Quark XPress Document\"\r\n"
                           "\"8BIMPHSP\",\"psd\",\"Photoshop Image\"\r\n";

struct SignatureDialog : ::testing::Test {
    fakes::FakeFileSystem files;
    fakes::FakeNotifier notifier;
    signatures::SignatureTable table;
    std::unique_ptr<FrmGestionSignatures> dlg;

    SignatureDialog() { table.sSignaturesFile = kPath; }

    FrmGestionSignatures& open(LanguageFlag lang = kEnglish) {
        dlg = std::make_unique<FrmGestionSignatures>(table, files, notifier, lang);
        dlg->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
        return *dlg;
    }
    FrmGestionSignatures& open(const std::string& content, LanguageFlag lang = kEnglish) {
        files.putFile(kPath, content);
        return open(lang);
    }

    template <class T> T* child(const char* name) {
        T* w = dlg->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QTreeWidget* list() { return child<QTreeWidget>("lstSignatures"); }
    QLabel* msg() { return child<QLabel>("lblMsg"); }
    QColor msgColour() { return msg()->palette().color(QPalette::WindowText); }

    // The signatures shown, top to bottom.
    QStringList shown() {
        QStringList out;
        for (int i = 0; i < list()->topLevelItemCount(); ++i) {
            out << list()->topLevelItem(i)->text(0);
        }
        return out;
    }

    void type(const QString& signature, const QString& extension, const QString& description) {
        for (auto [name, text] :
             {std::pair{"txtSignature", signature}, std::pair{"txtExtension", extension},
              std::pair{"txtType", description}}) {
            QLineEdit* edit = child<QLineEdit>(name);
            edit->clear();
            // QTest types ASCII only; other characters are put in as a paste would.
            bool ascii = true;
            for (QChar ch : text) {
                ascii = ascii && ch.unicode() < 0x80;
            }
            if (ascii) {
                QTest::keyClicks(edit, text);
            } else {
                edit->insert(text);
            }
        }
    }
    void click(const char* button) {
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
    }
    void clickRow(int row) {
        QTreeWidgetItem* item = list()->topLevelItem(row);
        ASSERT_NE(item, nullptr);
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                          list()->visualItemRect(item).center());
    }
    void clickHeader(int column) {
        QHeaderView* header = list()->header();
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(column) + 10, header->height() / 2));
    }
};

TEST_F(SignatureDialog, OpensWithTheFileTheCaptionsAndTheLayout) {
    open(kThree);
    EXPECT_EQ(dlg->windowTitle(), "Lantrivex - Macintosh signatures (3)");
    EXPECT_TRUE(dlg->isModal());
    EXPECT_EQ(dlg->size(), QSize(499, 415));
    EXPECT_EQ(shown(), (QStringList{"W6BNMSWD", "XDOCXPR3", "8BIMPHSP"}));
    QTreeWidgetItem* second = list()->topLevelItem(1);
    EXPECT_EQ(second->text(1), "qxd");
    EXPECT_EQ(second->text(2), "Quark XPress Document");
    EXPECT_EQ(second->data(0, Qt::UserRole).toString(), "KXDOCXPR3");
    EXPECT_EQ(list()->headerItem()->text(0), "Signature");
    EXPECT_EQ(list()->headerItem()->text(1), "Extension");
    EXPECT_EQ(list()->headerItem()->text(2), "Type Macintosh");
    EXPECT_TRUE(list()->selectedItems().isEmpty());
    EXPECT_EQ(msg()->text(), "");

    EXPECT_EQ(child<QLabel>("lblSignature")->text(), "Type/Creator\n[mandatory]");
    EXPECT_EQ(child<QLabel>("lblExtension")->text(), "Extension\n[optional}");
    EXPECT_EQ(child<QLabel>("lblType")->text(), "Macintosh Type (description)\n[mandatory]");
    EXPECT_EQ(child<QPushButton>("cmdAjouter")->text(), "&Add/Modify");
    EXPECT_EQ(child<QPushButton>("cmdSupprimer")->text(), "&Remove");
    EXPECT_EQ(child<QPushButton>("cmdOK")->text(), "&Save");
    EXPECT_EQ(child<QPushButton>("cmdAnnuler")->text(), "&Cancel");
    EXPECT_TRUE(child<QPushButton>("cmdAjouter")->isDefault());
    EXPECT_TRUE(child<QPushButton>("cmdOK")->font().bold());

    // Columns of 1440, 1440 and 7455 - 2880 - 300 twips; the fields stand under them.
    EXPECT_EQ(list()->columnWidth(0), 96);
    EXPECT_EQ(list()->columnWidth(1), 96);
    EXPECT_EQ(list()->columnWidth(2), 285);
    auto* frame = child<QGroupBox>("Frame1");
    EXPECT_EQ(frame->geometry(), QRect(0, 232, 497, 145));
    EXPECT_EQ(child<QLineEdit>("txtSignature")->geometry(), QRect(7, 16, 89, 25));
    EXPECT_EQ(child<QLineEdit>("txtExtension")->geometry(), QRect(96, 16, 96, 25));
    EXPECT_EQ(child<QLineEdit>("txtType")->geometry(), QRect(192, 16, 298, 25));
    EXPECT_EQ(child<QLabel>("lblType")->x(), 192);
    EXPECT_EQ(child<QLabel>("lblType")->width(), 298);
    EXPECT_EQ(child<QLineEdit>("txtType")->parentWidget(), frame);
    EXPECT_EQ(msg()->parentWidget(), frame);
    EXPECT_EQ(child<QPushButton>("cmdOK")->geometry(), QRect(80, 384, 97, 25));
}

TEST_F(SignatureDialog, FrenchCaptionsAndTitle) {
    open(kThree, kFrench);
    EXPECT_EQ(dlg->windowTitle(), "Lantrivex - Signatures Macintosh (3)");
    EXPECT_EQ(child<QLabel>("lblSignature")->text(), "Type/Créateur\n[obligatoire]");
    EXPECT_EQ(child<QLabel>("lblExtension")->text(), "Extension\n[facultative]");
    EXPECT_EQ(child<QLabel>("lblType")->text(), "Type Macintosh (libellé)\n[obligatoire]");
    EXPECT_EQ(child<QPushButton>("cmdAjouter")->text(), "&Ajouter/Modifier");
    EXPECT_EQ(child<QPushButton>("cmdSupprimer")->text(), "&Effacer");
    EXPECT_EQ(child<QPushButton>("cmdOK")->text(), "&Sauvegarder");
    EXPECT_EQ(child<QPushButton>("cmdAnnuler")->text(), "Annuler");
    EXPECT_EQ(list()->headerItem()->text(2), "Type Macintosh");
}

struct Check {
    const char* signature;
    const char* extension;
    const char* description;
    const char* french;
    const char* english;
};

TEST_F(SignatureDialog, EachCheckShowsItsMessageInRedWithABeep) {
    const Check checks[] = {
        {"W6BNMSW", "doc", "x", "La signature Type/Créateur doit comporter 8 caractères",
         "Type/Creator signature must be 8 characters"},
        {"W6BNMSWD", "docx", "x", "L'extension Windows doit comporter 3 caractères au plus",
         "Windows extension must be 3 characters or less"},
        {"W6BNMSWD", "d?c", "x", "Caractère invalide dans une extension Windows",
         "Invalid character in Windows extension"},
        {"W6BNMSWD", "doc", "", "Le type Macintosh est obligatoire", "Macintosh type is mandatory"},
        {"W6BNMSWD", "doc", "12\" screen",
         "Caractère invalide (guillemet) dans la signature ou le type Macintosh",
         "Invalid character (double quote) in signature or Macintosh type"},
        {"W6BNMSWD", "doc", "日本語", "Caractère non admis dans le fichier des Signatures",
         "Character not allowed in Signatures file"},
    };
    for (LanguageFlag lang : {kEnglish, kFrench}) {
        open(kThree, lang);
        for (const Check& c : checks) {
            notifier.beeps = 0;
            type(QString::fromUtf8(c.signature), QString::fromUtf8(c.extension),
                 QString::fromUtf8(c.description));
            click("cmdAjouter");
            EXPECT_EQ(msg()->text(), QString::fromUtf8(lang == kFrench ? c.french : c.english));
            EXPECT_EQ(msgColour(), QColor(255, 0, 0));
            EXPECT_EQ(notifier.beeps, 1);
            EXPECT_EQ(list()->topLevelItemCount(), 3);
            EXPECT_EQ(list()->topLevelItem(0)->text(1), "doc");
        }
        EXPECT_EQ(dlg->windowTitle(), lang == kFrench ? "Lantrivex - Signatures Macintosh (3)"
                                                      : "Lantrivex - Macintosh signatures (3)");
        QTest::keyClick(dlg.get(), Qt::Key_Escape);
        EXPECT_FALSE(dlg->isVisible()) << "failed checks leave the list unchanged: no question";
        EXPECT_TRUE(notifier.questions.empty());
    }
}

TEST_F(SignatureDialog, EnterAddsARowInMagentaAndRetitles) {
    for (LanguageFlag lang : {kEnglish, kFrench}) {
        open(kThree, lang);
        type("TEXTttxt", "", "Texte");
        QTest::keyClick(child<QLineEdit>("txtType"), Qt::Key_Return);
        EXPECT_EQ(shown(), (QStringList{"W6BNMSWD", "XDOCXPR3", "8BIMPHSP", "TEXTttxt"}));
        EXPECT_EQ(list()->topLevelItem(3)->data(0, Qt::UserRole).toString(), "KTEXTttxt");
        EXPECT_EQ(msg()->text(),
                  lang == kFrench ? "Signature ajoutée: TEXTttxt" : "Added Signature: TEXTttxt");
        EXPECT_EQ(msgColour(), QColor(255, 0, 255));
        EXPECT_EQ(dlg->windowTitle(), lang == kFrench ? "Lantrivex - Signatures Macintosh (4)"
                                                      : "Lantrivex - Macintosh Signatures (4)");
        ASSERT_EQ(list()->selectedItems().size(), 1);
        EXPECT_EQ(list()->selectedItems().front()->text(0), "TEXTttxt");
        EXPECT_TRUE(child<QLineEdit>("txtSignature")->hasFocus());
        EXPECT_EQ(child<QLineEdit>("txtType")->text(), "Texte") << "the boxes keep their text";
    }
}

TEST_F(SignatureDialog, AClickFillsTheFieldsAndAModificationStaysInPlace) {
    open(kThree, kFrench);
    type("bad", "", "");
    click("cmdAjouter");
    ASSERT_FALSE(msg()->text().isEmpty());
    clickRow(1);
    EXPECT_EQ(msg()->text(), "") << "a click clears the message";
    EXPECT_EQ(child<QLineEdit>("txtSignature")->text(), "XDOCXPR3");
    EXPECT_EQ(child<QLineEdit>("txtExtension")->text(), "qxd");
    EXPECT_EQ(child<QLineEdit>("txtType")->text(), "Quark XPress Document");

    // Unchanged re-entry.
    notifier.beeps = 0;
    click("cmdAjouter");
    EXPECT_EQ(msg()->text(), "Signature inchangée: XDOCXPR3");
    EXPECT_EQ(msgColour(), QColor(255, 0, 0));
    EXPECT_EQ(notifier.beeps, 1);
    EXPECT_EQ(dlg->windowTitle(), "Lantrivex - Signatures Macintosh (3)");

    // Modification in place, the signature in another letter case.
    type("xdocxpr3", "qxp", "QuarkXPress 4");
    click("cmdAjouter");
    EXPECT_EQ(msg()->text(), "Signature modifié: xdocxpr3");
    EXPECT_EQ(msgColour(), QColor(255, 0, 255));
    ASSERT_EQ(list()->topLevelItemCount(), 3);
    QTreeWidgetItem* row = list()->topLevelItem(1);
    EXPECT_EQ(row->text(0), "xdocxpr3");
    EXPECT_EQ(row->text(1), "qxp");
    EXPECT_EQ(row->text(2), "QuarkXPress 4");
    EXPECT_EQ(row->data(0, Qt::UserRole).toString(), "KXDOCXPR3");
    EXPECT_TRUE(row->isSelected());
}

TEST_F(SignatureDialog, RemoveWithAndWithoutASelection) {
    for (LanguageFlag lang : {kEnglish, kFrench}) {
        open(kThree, lang);
        notifier.beeps = 0;
        click("cmdSupprimer");
        EXPECT_EQ(msg()->text(), lang == kFrench ? "Sélectionner une signature à supprimer"
                                                 : "Select a signature to remove");
        EXPECT_EQ(msgColour(), QColor(255, 0, 0));
        EXPECT_EQ(notifier.beeps, 1);
        EXPECT_EQ(list()->topLevelItemCount(), 3);

        clickRow(0);
        click("cmdSupprimer");
        EXPECT_EQ(shown(), (QStringList{"XDOCXPR3", "8BIMPHSP"}));
        EXPECT_EQ(msg()->text(), lang == kFrench ? "Signature supprimée: W6BNMSWD"
                                                 : "Removed Signature: W6BNMSWD");
        EXPECT_EQ(msgColour(), QColor(255, 0, 255));
        EXPECT_EQ(dlg->windowTitle(), lang == kFrench ? "Lantrivex - Signatures Macintosh (2)"
                                                      : "Lantrivex - Macintosh Signatures (2)");
        EXPECT_TRUE(list()->selectedItems().isEmpty());

        // The Delete key in the list.
        clickRow(1);
        list()->setFocus();
        QTest::keyClick(list(), Qt::Key_Delete);
        EXPECT_EQ(shown(), (QStringList{"XDOCXPR3"}));
        EXPECT_EQ(dlg->windowTitle(), lang == kFrench ? "Lantrivex - Signatures Macintosh (1)"
                                                      : "Lantrivex - Macintosh Signatures (1)");
        notifier.answers = {true};
        dlg->reject();
    }
}

TEST_F(SignatureDialog, HeaderClicksFlipTheSortWithoutChangingTheList) {
    open(kThree);
    clickHeader(0);
    EXPECT_EQ(shown(), (QStringList{"XDOCXPR3", "W6BNMSWD", "8BIMPHSP"}));
    EXPECT_EQ(list()->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    clickHeader(0);
    EXPECT_EQ(shown(), (QStringList{"8BIMPHSP", "W6BNMSWD", "XDOCXPR3"}));
    EXPECT_EQ(list()->header()->sortIndicatorOrder(), Qt::AscendingOrder);
    clickHeader(2); // another column: the direction flips all the same
    EXPECT_EQ(shown(), (QStringList{"W6BNMSWD", "XDOCXPR3", "8BIMPHSP"}));
    EXPECT_EQ(list()->header()->sortIndicatorSection(), 2);
    EXPECT_EQ(list()->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(dlg->windowTitle(), "Lantrivex - Macintosh signatures (3)");
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_TRUE(notifier.questions.empty());
}

TEST_F(SignatureDialog, ClosingAChangedListAsksFirst) {
    for (LanguageFlag lang : {kEnglish, kFrench}) {
        open(kThree, lang);
        type("TEXTttxt", "txt", "Text");
        click("cmdAjouter");
        notifier.questions.clear();
        notifier.answers = {false, false, false, true};
        QTest::keyClick(dlg.get(), Qt::Key_Escape);
        EXPECT_TRUE(dlg->isVisible());
        click("cmdAnnuler");
        EXPECT_TRUE(dlg->isVisible());
        dlg->close(); // the close box
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_EQ(list()->topLevelItemCount(), 4) << "No keeps the list";
        ASSERT_EQ(notifier.questions.size(), 3u);
        EXPECT_EQ(notifier.questions[0],
                  lang == kFrench ? "Liste modifiée\r\nQuitter sans sauvegarder les modifications"
                                  : "Modified list\r\nDiscard changes");
        QTest::keyClick(dlg.get(), Qt::Key_Escape);
        EXPECT_FALSE(dlg->isVisible());
        EXPECT_EQ(dlg->result(), QDialog::Rejected);
        EXPECT_EQ(*files.contents(kPath), kThree) << "Yes discards: nothing written";
        EXPECT_TRUE(files.replaced.empty());
        EXPECT_TRUE(table.colDescriptions.empty());
    }
}

TEST_F(SignatureDialog, SaveWritesTheSortedFileReloadsTheTableAndCloses) {
    open(kThree);
    type("TEXTttxt", "", "Texte écrit");
    click("cmdAjouter");
    clickRow(0);
    type("W6BNMSWD", "doc", "Word 6, new");
    click("cmdAjouter");
    click("cmdOK");
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_TRUE(notifier.questions.empty());
    EXPECT_EQ(*files.contents(kPath), "\"8BIMPHSP\",\"psd\",\"Photoshop Image\"\r\n"
                                      "\"TEXTttxt\",\"\",\"Texte \xE9"
                                      "crit\"\r\n"
                                      "\"W6BNMSWD\",\"doc\",\"Word 6, new\"\r\n"
                                      "\"XDOCXPR3\",\"qxd\",\"Quark XPress Document\"\r\n");
    EXPECT_EQ(table.size(), 4u);
    EXPECT_EQ(table.nSignatures, 4);
    EXPECT_EQ(table.description("w6bnmswd"), "Word 6, new");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(SignatureDialog, SaveWithoutChangeClosesWithoutWriting) {
    open(kThree);
    click("cmdOK");
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_TRUE(files.replaced.empty());
    EXPECT_TRUE(table.colDescriptions.empty()) << "no reload either";
}

TEST_F(SignatureDialog, AFailedSaveLosesNothing) {
    open(kThree, kFrench);
    type("TEXTttxt", "", "Texte");
    click("cmdAjouter");
    clickHeader(2);
    files.replaceFailure = "Permission denied";
    click("cmdOK");
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(*files.contents(kPath), kThree);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(notifier.messages[0].text, std::string("Enregistrement impossible du fichier "
                                                     "Signatures:\r\n") +
                                             kPath + "\r\nPermission denied");
    EXPECT_EQ(shown(), (QStringList{"8BIMPHSP", "TEXTttxt", "W6BNMSWD", "XDOCXPR3"}))
        << "the list, sorted for the save, is all there";
    EXPECT_TRUE(table.colDescriptions.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // Once the folder is writable again the same list saves.
    files.replaceFailure.reset();
    click("cmdOK");
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(table.size(), 4u);
}

TEST_F(SignatureDialog, ADamagedFileOpensWithTheRowsBeforeTheDamage) {
    open(kThree + "\"DDDDDDDD\",\"d\",\"never closed\r\n");
    EXPECT_EQ(list()->topLevelItemCount(), 3);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(dlg->windowTitle(), "Lantrivex - Macintosh signatures (3)");
}

} // namespace
} // namespace lantrivex::ui
