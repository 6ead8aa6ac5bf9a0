#include "RunningService.h"

#include <gtest/gtest.h>

namespace sarndev::test {
namespace {

TEST(ServiceCommandLine, BadArgumentsExitWithTwoAndTheUsage) {
    const QStringList cases[] = {
        {},
        {QStringLiteral("frobnicate")},
        {QStringLiteral("serve"), QStringLiteral("--listen"), QStringLiteral("nonsense")},
        {QStringLiteral("serve"), QStringLiteral("--listen"), QStringLiteral("127.0.0.1:99999")},
        {QStringLiteral("serve"), QStringLiteral("--udp-port"), QStringLiteral("-1")},
        {QStringLiteral("serve"), QStringLiteral("--bogus"), QStringLiteral("1")},
        {QStringLiteral("serve"), QStringLiteral("--data")},
        {QStringLiteral("push"), QStringLiteral("onlyuser")},
        {QStringLiteral("notice")},
        {QStringLiteral("publish"), QStringLiteral("1.0")},
        {QStringLiteral("users"), QStringLiteral("extra")},
    };
    for (const QStringList& args : cases) {
        RunningService::Admin run = RunServiceBinary(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_NE(run.err.find("usage: sarn-service serve"), std::string::npos);
    }
}

TEST(ServiceCommandLine, PublishingAMissingFileFailsAndChangesNothing) {
    RunningService service;
    RunningService::Admin run = service.Run(
        {QStringLiteral("publish"), QStringLiteral("9.9"), QStringLiteral("/nonexistent")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(service.Result("GetNewVersionNumber"), "");
}

}  // namespace
}  // namespace sarndev::test
