#pragma once
// The version dispatcher: finds or creates the core of a version text and forwards the call.
// Free of COM, so that its table rules are tested natively; the COM side supplies the cores.
#include <memory>
#include <string>
#include <vector>

namespace quorallion::icore {

// The five arguments of the core's GetInfo.
struct CoreCall {
    std::wstring config;
    std::wstring action;
    std::wstring param1;
    std::wstring param2;
    std::wstring param3;
};

enum class CallOutcome {
    Answered,
    Failed,        // the core refused or raised: the reply is the empty text
    Disconnected,  // the core's process is gone: the object will never answer again
};

class CoreObject {
public:
    virtual ~CoreObject() = default;
    virtual CallOutcome GetInfo(const CoreCall& call, std::wstring& reply) = 0;
};

class CoreCreator {
public:
    virtual ~CoreCreator() = default;
    // A new core object of the ProgID, or nullptr when it cannot be created.
    virtual std::shared_ptr<CoreObject> CreateCore(const std::wstring& progId) = 0;
};

// "QuorallionCore2.Core" followed by the version with every "wss" removed (case-sensitive).
std::wstring CoreProgId(const std::wstring& version);

class ICore {
public:
    explicit ICore(CoreCreator& creator) : creator_(creator) {}
    ICore(const ICore&) = delete;
    ICore& operator=(const ICore&) = delete;
    ~ICore();

    std::wstring GetInfo(const std::wstring& s_Version, const CoreCall& call);

private:
    struct Entry {
        std::wstring version;
        std::shared_ptr<CoreObject> core;
    };

    std::shared_ptr<CoreObject> Lookup(const std::wstring& version);
    std::shared_ptr<CoreObject> Create(const std::wstring& version);
    void Drop(const std::shared_ptr<CoreObject>& core);

    CoreCreator& creator_;
    std::vector<Entry> table_;
    std::shared_ptr<CoreObject> current_;
};

}  // namespace quorallion::icore
