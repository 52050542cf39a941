// The dispatcher's table rules with fake cores: creation per version text, reuse, not-installed
// retries and the recovery from a core whose process died.
#include "ICore.h"

#include <gtest/gtest.h>

#include <map>

using namespace quorallion::icore;

namespace {

class FakeCore : public CoreObject {
public:
    explicit FakeCore(std::wstring name) : name_(std::move(name)) {}
    CallOutcome GetInfo(const CoreCall& call, std::wstring& reply) override {
        ++calls;
        if (dead) return CallOutcome::Disconnected;
        if (call.action == L"fail") return CallOutcome::Failed;
        reply = name_ + L"|" + call.config + L"|" + call.action + L"|" + call.param1 + L"|" +
                call.param2 + L"|" + call.param3;
        return CallOutcome::Answered;
    }
    int calls = 0;
    bool dead = false;

private:
    std::wstring name_;
};

class FakeCreator : public CoreCreator {
public:
    std::shared_ptr<CoreObject> CreateCore(const std::wstring& progId) override {
        created.push_back(progId);
        if (!installed.count(progId)) return nullptr;
        auto core = std::make_shared<FakeCore>(progId + L"#" + std::to_wstring(created.size()));
        last = core;
        return core;
    }
    std::map<std::wstring, bool> installed{{L"QuorallionCore2.Core15200", true}};
    std::vector<std::wstring> created;
    std::shared_ptr<FakeCore> last;
};

const std::wstring kNotInstalled = L"{\"state\":\"err\",\"errflag\":\"notinstalled\"}";

CoreCall Call(const std::wstring& action) { return CoreCall{L"{}", action, L"a", L"b", L"c"}; }

}  // namespace

TEST(IcoreProgId, WssRemovedCaseSensitively) {
    struct Case {
        const wchar_t* version;
        const wchar_t* progId;
    } cases[] = {
        {L"15200", L"QuorallionCore2.Core15200"},
        {L"wss15200", L"QuorallionCore2.Core15200"},
        {L"WSS15200", L"QuorallionCore2.CoreWSS15200"},
        {L"wswssss15200", L"QuorallionCore2.Corewsss15200"},  // one pass: the join is not searched again
        {L"15200wss", L"QuorallionCore2.Core15200"},
        {L"", L"QuorallionCore2.Core"},
    };
    for (const Case& c : cases) EXPECT_EQ(CoreProgId(c.version), c.progId) << c.version;
}

class IcoreTable : public ::testing::Test {
protected:
    FakeCreator creator_;
    ICore icore_{creator_};
};

TEST_F(IcoreTable, IsInstalledCreatesOnceAndDoesNotCallTheCore) {
    EXPECT_EQ(icore_.GetInfo(L"15200", Call(L"isinstalled")), L"{\"state\":\"ok\"}");
    ASSERT_TRUE(creator_.last);
    EXPECT_EQ(creator_.last->calls, 0);
    EXPECT_EQ(icore_.GetInfo(L"15200", Call(L"config")),
              L"QuorallionCore2.Core15200#1|{}|config|a|b|c");
    // Other letter cases of the action word belong to the core.
    EXPECT_EQ(icore_.GetInfo(L"15200", Call(L"IsInstalled")),
              L"QuorallionCore2.Core15200#1|{}|IsInstalled|a|b|c");
    EXPECT_EQ(creator_.created.size(), 1u);
}

TEST_F(IcoreTable, EachVersionTextHasItsOwnCore) {
    EXPECT_EQ(icore_.GetInfo(L"15200", Call(L"x")), L"QuorallionCore2.Core15200#1|{}|x|a|b|c");
    EXPECT_EQ(icore_.GetInfo(L"wss15200", Call(L"x")), L"QuorallionCore2.Core15200#2|{}|x|a|b|c");
    EXPECT_EQ(icore_.GetInfo(L"15200", Call(L"x")), L"QuorallionCore2.Core15200#1|{}|x|a|b|c");
    EXPECT_EQ(icore_.GetInfo(L"wss15200", Call(L"x")), L"QuorallionCore2.Core15200#2|{}|x|a|b|c");
    EXPECT_EQ(creator_.created.size(), 2u);
}

TEST_F(IcoreTable, NotInstalledForEveryActionAndTriedAgainEachCall) {
    for (const wchar_t* version : {L"WSS15200", L"", L"99999"}) {
        EXPECT_EQ(icore_.GetInfo(version, Call(L"isinstalled")), kNotInstalled) << version;
        EXPECT_EQ(icore_.GetInfo(version, Call(L"config")), kNotInstalled) << version;
    }
    EXPECT_EQ(creator_.created.size(), 6u);
    creator_.installed[L"QuorallionCore2.Core99999"] = true;  // installed meanwhile
    EXPECT_EQ(icore_.GetInfo(L"99999", Call(L"isinstalled")), L"{\"state\":\"ok\"}");
}

TEST_F(IcoreTable, FailedCallAnswersEmptyAndKeepsTheCore) {
    EXPECT_EQ(icore_.GetInfo(L"15200", Call(L"fail")), L"");
    EXPECT_EQ(icore_.GetInfo(L"15200", Call(L"x")), L"QuorallionCore2.Core15200#1|{}|x|a|b|c");
    EXPECT_EQ(creator_.created.size(), 1u);
}

TEST_F(IcoreTable, DeadCoreIsReplacedBeforeAnswering) {
    icore_.GetInfo(L"15200", Call(L"x"));
    std::shared_ptr<FakeCore> first = creator_.last;
    first->dead = true;
    EXPECT_EQ(icore_.GetInfo(L"15200", Call(L"x")), L"QuorallionCore2.Core15200#2|{}|x|a|b|c");
    EXPECT_EQ(first->calls, 2);  // asked once, then dropped
    EXPECT_EQ(icore_.GetInfo(L"15200", Call(L"x")), L"QuorallionCore2.Core15200#2|{}|x|a|b|c");
    EXPECT_EQ(creator_.created.size(), 2u);
}

TEST_F(IcoreTable, DeadCoreThatCannotBeStartedAgainIsNotInstalled) {
    icore_.GetInfo(L"15200", Call(L"x"));
    creator_.last->dead = true;
    creator_.installed.clear();
    EXPECT_EQ(icore_.GetInfo(L"15200", Call(L"x")), kNotInstalled);
    creator_.installed[L"QuorallionCore2.Core15200"] = true;
    EXPECT_EQ(icore_.GetInfo(L"15200", Call(L"x")), L"QuorallionCore2.Core15200#3|{}|x|a|b|c");
}

TEST(IcoreLifetime, ReleasesEveryCoreItHolds) {
    FakeCreator creator;
    std::weak_ptr<FakeCore> a, b;
    {
        ICore icore(creator);
        icore.GetInfo(L"15200", Call(L"x"));
        a = creator.last;
        icore.GetInfo(L"wss15200", Call(L"x"));
        b = creator.last;
        creator.last.reset();
        EXPECT_FALSE(a.expired());
    }
    EXPECT_TRUE(a.expired());
    EXPECT_TRUE(b.expired());
}
