// The window on the sample network, through the real POSIX services: the mount table and the
// registry exports that tools/make-sample-network.sh lays out, the index streams of the samples.

#include "WindowFixture.h"
#include "platform/posix/PosixDriveList.h"
#include "platform/posix/PosixFolderProbe.h"
#include "platform/posix/PosixNamedStreamReader.h"
#include "platform/posix/PosixNetworkConnections.h"
#include "platform/posix/RegFileRegistry.h"
#include "ui/QtNotifier.h"

#include <QMessageBox>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>

namespace lantrivex::ui::test {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class SampleNetworkTest : public WindowTest {
protected:
    void SetUp() override {
        fs::remove_all(sample);
        const std::string command = "bash '" + std::string(LANTRIVEX_SOURCE_DIR) +
                                    "/tools/make-sample-network.sh' '" + sample.string() +
                                    "' >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        ::setenv("LANTRIVEX_MOUNTS", (sample / "mounts").c_str(), 1);
    }
    void TearDown() override {
        window.reset();
        ::unsetenv("LANTRIVEX_MOUNTS");
        fs::remove_all(sample);
    }

    const fs::path sample =
        fs::temp_directory_path() / ("lantrivex-sample-ui-" + std::to_string(::getpid()));
};

TEST_F(SampleNetworkTest, TreeOfTheSampleAndAnAnalysedVolumeMatchingItsPlan) {
    const fs::path samples = fs::path(LANTRIVEX_SOURCE_DIR) / "samples";
    files.files["/opt/lantrivex/Signatures.txt"] = slurp(samples / "Signatures.txt");
    platform::posix::PosixNamedStreamReader realStreams;
    platform::posix::PosixFolderProbe realFolders;
    const std::string host = platform::posix::shortHostName().value_or("");
    platform::posix::RegFileRegistry realRegistry((sample / "Registry").string(), host);
    platform::posix::PosixNetworkConnections realNetwork;
    platform::posix::PosixDriveList realDrives;
    platform::Platform real{realStreams, realFolders,  profile,     version,    files,    location,
                            instance,    realRegistry, realNetwork, realDrives, shellOpen};
    window = std::make_unique<TestWindow>(real, notifier, state);
    ASSERT_TRUE(window->Form_Load());
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->Form_Activate();
    QApplication::processEvents();

    // This computer, the three servers; the Macintosh servers of the MacFile product.
    QTreeWidget* tree = window->treeCatalogue();
    EXPECT_EQ(tree->topLevelItemCount(), 4);
    for (const QString machine : {"MACSRV3", "NTSRV1", "NTSRV2", host.c_str()}) {
        EXPECT_EQ(tree->findItems(machine, Qt::MatchExactly).size(), 1) << machine.toStdString();
    }

    const QString graphics = R"(\\NTSRV1\D$\Mac Volumes\Graphics)";
    const QString archives = R"(\\NTSRV1\D$\Mac Volumes\Archives 1998)";
    QTreeWidgetItem* volume = node(graphics);
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(volume->parent()->text(0), "Serveur Graphisme");
    EXPECT_EQ(image(volume), FrmLantrivex::kImageVolume);
    ASSERT_NE(node(archives), nullptr);
    EXPECT_EQ(image(node(archives)), FrmLantrivex::kImageVolumeMissing);
    EXPECT_NE(node(QString::fromUtf8(R"(\\NTSRV2\D$\Comptabilité)")), nullptr);
    EXPECT_EQ(window->volumePanelCount(), 6);

    clickNode(volume);
    const int k = tag(volume);
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_TRUE(window->lstSignatures(k)->isVisible());
    EXPECT_EQ(window->statusText(1), graphics);
    EXPECT_EQ(window->lbllblVolume(k)->text(), "Total: 1766");
    ASSERT_GT(window->gridModel(k)->rowCount(), 5);
    EXPECT_EQ(column(k, 0).first(), "477");
    EXPECT_EQ(column(k, 1).first(), "27.01");
    EXPECT_EQ(column(k, 2).first(), "XDOCXPR3");
    EXPECT_FALSE(column(k, 3).first().isEmpty());

    // Every signature of the sample's plan, with its count.
    std::map<QString, QString> shown, planned;
    for (int r = 0; r < window->gridModel(k)->rowCount(); ++r) {
        shown[column(k, 2)[r]] = column(k, 0)[r];
    }
    std::istringstream plan(slurp(samples / "streams" / "Graphisme.expected.csv"));
    for (std::string line; std::getline(plan, line);) {
        const QString row = QString::fromStdString(line).trimmed();
        if (!row.isEmpty() && !row.startsWith("total,")) {
            planned[row.section(',', 0, 0)] = row.section(',', 1);
        }
    }
    EXPECT_EQ(shown, planned);
}

// The boxes of the window program: titled "Lantrivex", with the icon of their kind.
TEST(QtNotifierTest, BoxesCarryTitleTextIconAndAnswer) {
    QtNotifier notifier;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    const auto answer = [&](QMessageBox::StandardButton button) {
        QTimer::singleShot(0, [&, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            box->done(button);
        });
    };
    const std::pair<platform::MessageIcon, QMessageBox::Icon> icons[] = {
        {platform::MessageIcon::Critical, QMessageBox::Critical},
        {platform::MessageIcon::Exclamation, QMessageBox::Warning},
        {platform::MessageIcon::None, QMessageBox::NoIcon}};
    for (const auto& [given, shown] : icons) {
        answer(QMessageBox::Ok);
        notifier.message("Line 1\r\nLine 2", given);
        EXPECT_EQ(title, "Lantrivex");
        EXPECT_EQ(text, "Line 1\nLine 2");
        EXPECT_EQ(icon, shown);
    }
    answer(QMessageBox::Yes);
    EXPECT_TRUE(notifier.askYesNo("Save?"));
    EXPECT_EQ(icon, QMessageBox::Question);
    answer(QMessageBox::No);
    EXPECT_FALSE(notifier.askYesNo("Save?"));
}

} // namespace
} // namespace lantrivex::ui::test
