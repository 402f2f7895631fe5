#include "ProductState.h"

#include <deque>

namespace Veltrane::Trelvix::PAL {

namespace {
// A deque never moves its elements, so every state ever installed keeps its
// address; the last one is current.
std::deque<ProductState>& states() {
    static std::deque<ProductState> all(1);
    return all;
}
}  // namespace

const ProductState& currentState() { return states().back(); }

void installState(ProductState next) { states().push_back(std::move(next)); }

}  // namespace Veltrane::Trelvix::PAL
