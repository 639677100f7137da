// lantrivex-cli itself on the sample network that tools/make-sample-network.sh lays out: the
// mount table and the registry exports through the environment, as a user runs it.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string run(const std::string& command, int& status) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        status = -1;
        return out;
    }
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        out.append(buffer, n);
    }
    status = ::pclose(pipe);
    return out;
}

class SampleNetworkCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* cli = std::getenv("LANTRIVEX_CLI");
        if (cli == nullptr || !fs::exists(cli)) {
            GTEST_SKIP() << "LANTRIVEX_CLI does not name the built program";
        }
        program = cli;
        sample = fs::temp_directory_path() / ("lantrivex-sample-cli-" + std::to_string(::getpid()));
        fs::remove_all(sample);
        int status = 0;
        run("bash '" + std::string(LANTRIVEX_SOURCE_DIR) + "/tools/make-sample-network.sh' '" +
                sample.string() + "'",
            status);
        ASSERT_EQ(status, 0);
        env = "LANTRIVEX_MOUNTS='" + (sample / "mounts").string() + "' LANTRIVEX_REGISTRY_DIR='" +
              (sample / "Registry").string() + "' ";
    }
    void TearDown() override {
        if (!sample.empty()) {
            fs::remove_all(sample);
        }
    }

    std::string program;
    fs::path sample;
    std::string env;
};

TEST_F(SampleNetworkCliTest, CatalogueAndDrives) {
    int status = 0;
    const std::string json = run(env + "'" + program + "' catalogue --format json", status);
    ASSERT_EQ(status, 0) << json;
    EXPECT_NE(json.find(R"("name":"NTSRV1")"), std::string::npos) << json;
    EXPECT_NE(json.find(R"({"name":"Graphics","root":"\\\\NTSRV1\\D$\\Mac Volumes\\Graphics",)"
                        R"("found":true,"panel":1})"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find(R"({"name":"Archives 1998","root":"\\\\NTSRV1\\D$\\Mac Volumes\\Archives )"
                        R"(1998","found":false,"panel":3})"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find(R"("name":"MACSRV3","connections":"\\C$ ()"), std::string::npos);

    const std::string other = run(env + "'" + program + "' catalogue --product 1", status);
    ASSERT_EQ(status, 0);
    EXPECT_NE(other.find("Macintosh server: Studio IP"), std::string::npos) << other;

    const std::string drives = run(env + "'" + program + "' drives", status);
    ASSERT_EQ(status, 0);
    EXPECT_NE(drives.find((sample / "mnt" / "ntsrv1-d").string() + "\tNTSRV1\\D$\n"),
              std::string::npos)
        << drives;
    EXPECT_NE(drives.find((sample / "mnt" / "ramdisk").string() + "\tVirtual drive\n"),
              std::string::npos)
        << drives;

    // Without its registry export folder no machine can be reached.
    const std::string none =
        run("LANTRIVEX_MOUNTS='" + (sample / "mounts").string() + "' LANTRIVEX_REGISTRY_DIR='" +
                (sample / "none").string() + "' '" + program + "' catalogue --format json",
            status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(none.find(R"("server":{)"), std::string::npos) << none;
}

} // namespace
