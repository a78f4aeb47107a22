#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "engine/ConvertEngine.h"
#include "engine/ThreadOwner.h"
#include "platform/shell/ScriptedShell.h"

namespace tessival {
namespace {

void OnAnotherThread(const std::function<void()>& call) { std::thread(call).join(); }

TEST(ThreadRulesDeathTest, AnEntryPointOffItsThreadAborts) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ThreadOwner owner;
    ThreadBinding worker;
    owner.Check();
    worker.Check();  // this thread is the worker now
    EXPECT_DEATH(OnAnotherThread([&] { owner.Check(); }), "off its owner thread");
    EXPECT_DEATH(OnAnotherThread([&] { worker.Check(); }), "off its owner thread");
    worker.Release();
    OnAnotherThread([&] { worker.Check(); });  // the next run's worker
    EXPECT_DEATH(worker.Check(), "off its owner thread");

    ScriptedShell shell;
    ConvertEngine engine(shell);
    EXPECT_DEATH(OnAnotherThread([&] { engine.ResetHalt(); }), "off its owner thread");
}

}  // namespace
}  // namespace tessival
