// The window on the sample network, through the real POSIX services: the mount table and the
// registry exports that tools/make-sample-network.sh lays out, the index streams of the samples.

#include "WindowFixture.h"
#include "platform/posix/PosixDriveList.h"
#include "platform/posix/PosixFolderProbe.h"
#include "platform/posix/PosixNamedStreamReader.h"
#include "platform/posix/PosixNetworkConnections.h"
#include "platform/posix/RegFileRegistry.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace lantrivex::ui::test {
namespace {

namespace fs = std::filesystem;

// The total that the sample stream's expected results give ("total,N").
std::string expectedTotal(const std::string& stream) {
    std::ifstream in(std::string(LANTRIVEX_SOURCE_DIR) + "/samples/streams/" + stream +
                     ".expected.csv");
    std::string line, total;
    while (std::getline(in, line)) {
        if (line.rfind("total,", 0) == 0) {
            total = line.substr(6);
            while (!total.empty() && (total.back() == '\r' || total.back() == ' ')) {
                total.pop_back();
            }
        }
    }
    return total;
}

class SampleNetworkTest : public WindowTest {
protected:
    void SetUp() override {
        sample = fs::temp_directory_path() / ("lantrivex-sample-ui-" + std::to_string(::getpid()));
        fs::remove_all(sample);
        const std::string command = "bash '" + std::string(LANTRIVEX_SOURCE_DIR) +
                                    "/tools/make-sample-network.sh' '" + sample.string() +
                                    "' >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        const char* old = std::getenv("LANTRIVEX_MOUNTS");
        savedMounts = old ? old : "";
        ::setenv("LANTRIVEX_MOUNTS", (sample / "mounts").c_str(), 1);
    }
    void TearDown() override {
        WindowTest::TearDown();
        window.reset();
        if (savedMounts.empty()) {
            ::unsetenv("LANTRIVEX_MOUNTS");
        } else {
            ::setenv("LANTRIVEX_MOUNTS", savedMounts.c_str(), 1);
        }
        fs::remove_all(sample);
    }

    fs::path sample;
    std::string savedMounts;
};

TEST_F(SampleNetworkTest, TreeOfTheSampleAndAnAnalysedVolume) {
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
    QStringList machines;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        machines << tree->topLevelItem(i)->text(0);
    }
    machines.sort();
    QStringList expected{"MACSRV3", "NTSRV1", "NTSRV2", QString::fromStdString(host)};
    expected.sort();
    EXPECT_EQ(machines, expected);

    const QString graphics = R"(\\NTSRV1\D$\Mac Volumes\Graphics)";
    const QString archives = R"(\\NTSRV1\D$\Mac Volumes\Archives 1998)";
    QTreeWidgetItem* volume = window->findTreeNode(graphics);
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(volume->parent()->text(0), "Serveur Graphisme");
    EXPECT_EQ(volume->data(0, FrmLantrivex::ImageRole).toInt(), FrmLantrivex::kImageVolume);
    ASSERT_NE(window->findTreeNode(archives), nullptr);
    EXPECT_EQ(window->findTreeNode(archives)->data(0, FrmLantrivex::ImageRole).toInt(),
              FrmLantrivex::kImageVolumeMissing);
    ASSERT_NE(window->findTreeNode(QString::fromUtf8(R"(\\NTSRV2\D$\Comptabilité)")), nullptr);
    EXPECT_EQ(window->volumePanelCount(), 6);

    clickNode(volume);
    const int k = volume->data(0, FrmLantrivex::TagRole).toInt();
    const std::string total = expectedTotal("Graphisme");
    ASSERT_FALSE(total.empty());
    EXPECT_EQ(window->lbllblVolume(k)->text().toStdString(), "Total: " + total);
    EXPECT_GT(window->gridModel(k)->rowCount(), 5);
    EXPECT_TRUE(window->lstSignatures(k)->isVisible());
    EXPECT_EQ(window->statusText(1), graphics);
    EXPECT_TRUE(notifier.messages.empty());
}

} // namespace
} // namespace lantrivex::ui::test
