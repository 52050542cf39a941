#include "ICore.h"

#include <algorithm>

#include "clsJson.h"

namespace quorallion::icore {

namespace {

std::wstring NotInstalledReply() {
    clsJson json;
    json.SetItem(L"state", L"err");
    json.SetItem(L"errflag", L"notinstalled");
    return json.GetJsonObjectString();
}

}  // namespace

std::wstring CoreProgId(const std::wstring& version) {
    std::wstring suffix = version;
    for (size_t at = suffix.find(L"wss"); at != std::wstring::npos; at = suffix.find(L"wss", at))
        suffix.erase(at, 3);
    return L"QuorallionCore2.Core" + suffix;
}

ICore::~ICore() {
    current_.reset();
    for (Entry& entry : table_) entry.core.reset();
    table_.clear();
}

std::shared_ptr<CoreObject> ICore::Lookup(const std::wstring& version) {
    for (size_t i = 0; i < table_.size(); ++i) {
        if (table_[i].version != version) continue;
        current_ = table_[i].core;
        if (current_) return current_;
        table_[i].version.clear();
    }
    return nullptr;
}

std::shared_ptr<CoreObject> ICore::Create(const std::wstring& version) {
    // Creating an out-of-process object lets COM dispatch other calls into this object, which
    // may add entries meanwhile: append only after it returns, and never hold an iterator.
    std::shared_ptr<CoreObject> core = creator_.CreateCore(CoreProgId(version));
    if (!core) return nullptr;
    current_ = core;
    table_.push_back(Entry{version, core});
    return core;
}

void ICore::Drop(const std::shared_ptr<CoreObject>& core) {
    if (current_ == core) current_.reset();
    table_.erase(std::remove_if(table_.begin(), table_.end(),
                                [&](const Entry& entry) { return entry.core == core; }),
                 table_.end());
}

std::wstring ICore::GetInfo(const std::wstring& s_Version, const CoreCall& call) {
    // A local strong reference: a call dispatched while this one waits may change the table.
    std::shared_ptr<CoreObject> core = Lookup(s_Version);
    if (!core) core = Create(s_Version);

    if (!core) return NotInstalledReply();
    if (call.action == L"isinstalled") {
        clsJson json;
        json.SetItem(L"state", L"ok");
        return json.GetJsonObjectString();
    }

    std::wstring reply;
    CallOutcome outcome = core->GetInfo(call, reply);
    if (outcome == CallOutcome::Disconnected) {
        // The core's process died: a dead object would answer "" for ever, so start a new one.
        Drop(core);
        core = Create(s_Version);
        if (!core) return NotInstalledReply();
        reply.clear();
        outcome = core->GetInfo(call, reply);
        if (outcome == CallOutcome::Disconnected) Drop(core);
    }
    if (outcome != CallOutcome::Answered) reply.clear();
    return reply;
}

}  // namespace quorallion::icore
