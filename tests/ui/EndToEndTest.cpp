#include "WindowFixture.h"
#include "platform/posix/PosixNamedStreamReader.h"
#include "ui/QtNotifier.h"

#include <QMessageBox>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace lantrivex::ui::test {
namespace {

std::string slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A volume folder on this system with the sample stream stored the way an NTFS volume mounted
// with streams_interface=windows shows it, read by the real stream reader.
TEST_F(WindowTest, AnalysisOfARealStreamMatchesTheSample) {
    const std::filesystem::path samples = std::filesystem::path(LANTRIVEX_SOURCE_DIR) / "samples";
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("lantrivex-window-" + std::to_string(::getpid()));
    const std::filesystem::path volume = root / "Graphisme";
    std::filesystem::create_directories(volume);
    {
        std::ofstream stream(root / "Graphisme:AFP_IdIndex", std::ios::binary);
        stream << slurp(samples / "streams" / "Graphisme.AFP_IdIndex");
    }
    files.files["/opt/lantrivex/Signatures.txt"] = slurp(samples / "Signatures.txt");

    platform::posix::PosixNamedStreamReader realStreams;
    platform::Platform real{realStreams, folders,  profile, version,   files,    location,
                            instance,    registry, network, driveList, shellOpen};
    TestWindow w(real, notifier, state);
    ASSERT_TRUE(w.Form_Load());
    w.show();
    w.Form_Activate();
    const int k = w.loadVolumePanel("LOCAL - Graphisme");
    QTreeWidgetItem* node =
        w.addTreeNode(w.treeCatalogue()->topLevelItem(0), QString::fromStdString(volume.string()),
                      "Graphisme", FrmLantrivex::kImageVolume, k);
    w.SelectCatalogueNode(node);
    std::filesystem::remove_all(root);

    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(w.lbllblVolume(k)->text(), "Total: 1766");
    ResultGridModel* model = w.gridModel(k);
    ASSERT_GT(model->rowCount(), 5);
    EXPECT_EQ(model->data(model->index(0, 0), Qt::DisplayRole).toString(), "477");
    EXPECT_EQ(model->data(model->index(0, 1), Qt::DisplayRole).toString(), "27.01");
    EXPECT_EQ(model->data(model->index(0, 2), Qt::DisplayRole).toString(), "XDOCXPR3");
    EXPECT_FALSE(model->data(model->index(0, 3), Qt::DisplayRole).toString().isEmpty());

    // Every signature of the sample's plan, with its count.
    std::istringstream plan(slurp(samples / "streams" / "Graphisme.expected.csv"));
    std::map<QString, QString> expected;
    for (std::string line; std::getline(plan, line);) {
        const auto comma = line.find(',');
        if (line.rfind("total,", 0) != 0 && comma != std::string::npos) {
            expected[QString::fromStdString(line.substr(0, comma))] =
                QString::fromStdString(line.substr(comma + 1));
        }
    }
    std::map<QString, QString> shown;
    for (int r = 0; r < model->rowCount(); ++r) {
        shown[model->data(model->index(r, 2), Qt::DisplayRole).toString()] =
            model->data(model->index(r, 0), Qt::DisplayRole).toString();
    }
    EXPECT_EQ(shown, expected);
}

// The boxes of the window program: titled "Lantrivex", with the icon of their kind.
TEST(QtNotifierTest, BoxesCarryTitleTextAndIcon) {
    QtNotifier notifier;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    auto answer = [&](QMessageBox::StandardButton button) {
        QTimer::singleShot(0, [&, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            box->done(button);
        });
    };
    answer(QMessageBox::Ok);
    notifier.message("Line 1\r\nLine 2", platform::MessageIcon::Critical);
    EXPECT_EQ(title, "Lantrivex");
    EXPECT_EQ(text, "Line 1\nLine 2");
    EXPECT_EQ(icon, QMessageBox::Critical);

    answer(QMessageBox::Ok);
    notifier.message("Program already running", platform::MessageIcon::Exclamation);
    EXPECT_EQ(icon, QMessageBox::Warning);
    answer(QMessageBox::Ok);
    notifier.message("Unknown Macintosh volume index", platform::MessageIcon::None);
    EXPECT_EQ(icon, QMessageBox::NoIcon);

    answer(QMessageBox::Yes);
    EXPECT_TRUE(notifier.askYesNo("Save?"));
    EXPECT_EQ(icon, QMessageBox::Question);
    answer(QMessageBox::No);
    EXPECT_FALSE(notifier.askYesNo("Save?"));
}

} // namespace
} // namespace lantrivex::ui::test
