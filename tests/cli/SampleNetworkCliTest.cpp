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

// The standard output of a shell command; `status` is its exit status.
std::string run(const std::string& command, int& status) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n = 0;
         pipe != nullptr && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        out.append(buffer, n);
    }
    status = pipe == nullptr ? -1 : ::pclose(pipe);
    return out;
}

TEST(SampleNetworkCli, CatalogueAndDrives) {
    const char* program = std::getenv("LANTRIVEX_CLI");
    if (program == nullptr || !fs::exists(program)) {
        GTEST_SKIP() << "LANTRIVEX_CLI does not name the built program";
    }
    const fs::path sample =
        fs::temp_directory_path() / ("lantrivex-sample-cli-" + std::to_string(::getpid()));
    fs::remove_all(sample);
    int status = 0;
    run("bash '" + std::string(LANTRIVEX_SOURCE_DIR) + "/tools/make-sample-network.sh' '" +
            sample.string() + "'",
        status);
    ASSERT_EQ(status, 0);
    const auto cli = [&](const std::string& registry, const std::string& args) {
        return run("LANTRIVEX_MOUNTS='" + (sample / "mounts").string() +
                       "' LANTRIVEX_REGISTRY_DIR='" + (sample / registry).string() + "' '" +
                       program + "' " + args,
                   status);
    };

    const std::string json = cli("Registry", "catalogue --format json");
    EXPECT_EQ(status, 0) << json;
    EXPECT_NE(json.find(R"({"name":"Graphics","root":"\\\\NTSRV1\\D$\\Mac Volumes\\Graphics",)"
                        R"("found":true,"panel":1})"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find(R"({"name":"Archives 1998","root":"\\\\NTSRV1\\D$\\Mac Volumes\\Archives )"
                        R"(1998","found":false,"panel":3})"),
              std::string::npos);
    EXPECT_NE(json.find(R"("name":"MACSRV3","connections":"\\C$ ()"), std::string::npos);

    const std::string other = cli("Registry", "catalogue --product 1");
    EXPECT_EQ(status, 0);
    EXPECT_NE(other.find("Macintosh server: Studio IP"), std::string::npos) << other;

    const std::string drives = cli("Registry", "drives");
    EXPECT_EQ(status, 0);
    EXPECT_NE(drives.find((sample / "mnt" / "ntsrv1-d").string() + "\tNTSRV1\\D$\n"),
              std::string::npos)
        << drives;
    EXPECT_NE(drives.find((sample / "mnt" / "ramdisk").string() + "\tVirtual drive\n"),
              std::string::npos);

    // Without its registry export folder no machine can be reached.
    const std::string none = cli("none", "catalogue --format json");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(none.find(R"("server":{)"), std::string::npos) << none;
    fs::remove_all(sample);
}

} // namespace
