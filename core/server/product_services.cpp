#include "server/product_services.h"

namespace quorallion {

const CoreServices& ProductServices() {
    static const CoreServices services = [] {
        CoreServices s;
        return s;
    }();
    return services;
}

}  // namespace quorallion
