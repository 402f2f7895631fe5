// The main of every test program: doctest's runner, test cases in a random
// order unless the command line says otherwise (every suite stands on its
// own), and a failure when the filters leave no test case to run, so that a
// filter that selects nothing is no success.
#define DOCTEST_CONFIG_IMPLEMENT
#include <windows.h>

#include <cstdio>

#include "support/TestSupport.h"

namespace {

unsigned checksFailed = 0;
bool ranCases = false;

// Sees every failed check and the count of test cases the filters let
// through; after a failure, says how to run the cases in the same order.
struct RunWatcher : doctest::IReporter {
    explicit RunWatcher(const doctest::ContextOptions& options) : options_(options) {}
    void report_query(const doctest::QueryData&) override {}
    void test_run_start() override {}
    void test_run_end(const doctest::TestRunStats& stats) override {
        ranCases = stats.numTestCasesPassingFilters > 0;
        if (stats.numTestCasesFailed > 0 && options_.order_by == "rand")
            std::fprintf(stderr, "test order: --order-by=rand --rand-seed=%u repeats it\n", options_.rand_seed);
    }
    void test_case_start(const doctest::TestCaseData&) override {}
    void test_case_reenter(const doctest::TestCaseData&) override {}
    void test_case_end(const doctest::CurrentTestCaseStats&) override {}
    void test_case_exception(const doctest::TestCaseException&) override {}
    void subcase_start(const doctest::SubcaseSignature&) override {}
    void subcase_end() override {}
    void log_assert(const doctest::AssertData& check) override { checksFailed += check.m_failed; }
    void log_message(const doctest::MessageData&) override {}
    void test_case_skipped(const doctest::TestCaseData&) override {}
    const doctest::ContextOptions& options_;
};
DOCTEST_REGISTER_LISTENER("run-watcher", 1, RunWatcher);

}  // namespace

unsigned testing_support::ChecksFailed() { return checksFailed; }

int main(int argc, char** argv) {
    doctest::Context context;
    context.setOption("order-by", "rand");
    context.setOption("rand-seed", static_cast<int>(GetTickCount()));
    context.applyCommandLine(argc, argv);
    const int status = context.run();
    if (context.shouldExit() || ranCases) return status;
    std::fprintf(stderr, "no test case ran: the filters select none\n");
    return 1;
}
