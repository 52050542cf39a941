#pragma once
// Cores reached late-bound: created by ProgID, called by name through IDispatch.
#include "ICore.h"

namespace quorallion::icore {

class DispatchCoreCreator final : public CoreCreator {
public:
    std::shared_ptr<CoreObject> CreateCore(const std::wstring& progId) override;
};

}  // namespace quorallion::icore
