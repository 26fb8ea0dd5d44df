#include "IHeaderViewer.h"

namespace {

class NoHeaderViewer final : public IHeaderViewer {
public:
    void Show(const BnmHeaderFigures& /*figures*/) override {}
};

} // namespace

template <> IHeaderViewer& CSeam<IHeaderViewer>::Default() {
    static NoHeaderViewer none;
    return none;
}
