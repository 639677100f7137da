// SPDX-License-Identifier: GPL-3.0-or-later
// lantrivex-cli run as a user runs it on the sample network of tools/make-sample-network.sh.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string run(const std::string& command, int& status) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    for (int c = 0; pipe != nullptr && (c = std::fgetc(pipe)) != EOF;) {
        out.push_back(static_cast<char>(c));
    }
    status = pipe == nullptr ? -1 : ::pclose(pipe);
    return out;
}

TEST(SampleNetworkCli, CatalogueAndDrives) {
    const char* program = std::getenv("LANTRIVEX_CLI");
    if (program == nullptr || !fs::exists(program)) {
        GTEST_SKIP() << "LANTRIVEX_CLI does not name the built program";
    }
    const fs::path sample = fs::temp_directory_path() / ("lantrivex-" + std::to_string(getpid()));
    int status = 0;
    run("bash '" LANTRIVEX_SOURCE_DIR "/tools/make-sample-network.sh' '" + sample.string() + "'",
        status);
    ASSERT_EQ(status, 0);
    const auto cli = [&](const std::string& registry, const std::string& args) {
        const std::string out =
            run("LANTRIVEX_MOUNTS='" + (sample / "mounts").string() + "' LANTRIVEX_REGISTRY_DIR='" +
                    (sample / registry).string() + "' '" + program + "' " + args,
                status);
        EXPECT_EQ(status, 0) << args;
        return out;
    };
    const std::string json = cli("Registry", "catalogue --format json");
    for (const std::string part :
         {R"({"name":"Graphics","root":"\\\\NTSRV1\\D$\\Mac Volumes\\Graphics","found":true,)"
          R"("panel":1})",
          R"({"name":"Archives 1998","root":"\\\\NTSRV1\\D$\\Mac Volumes\\Archives 1998",)"
          R"("found":false,"panel":3})"}) {
        EXPECT_NE(json.find(part), std::string::npos) << json;
    }
    const std::string drives = cli("Registry", "drives");
    EXPECT_NE(drives.find((sample / "mnt/ntsrv1-d").string() + "\tNTSRV1\\D$\n"), std::string::npos)
        << drives;
    EXPECT_EQ(cli("none", "catalogue --format json").find(R"("server":{)"), std::string::npos)
        << "without its registry export folder no machine can be reached";
    fs::remove_all(sample);
}

} // namespace
