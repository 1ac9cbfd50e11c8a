#include "engine/GeneratorsFrame.h"

#include <cmath>

namespace generators {

Frame::Frame(TElectSequence& seq) : seq_(seq), nx_(seq.Grid.NX), ny_(seq.Grid.NY) {
    // A node outside the map has no place in it and is left out.
    auto inMap = [](const TElectGridNode& node) {
        return node.Used == 1 && node.IX >= 1 && node.IX <= kMaxGridColumns && node.IY >= 1 && node.IY <= kMaxGridRows;
    };
    for (int k = 1; k < kMaxElectrodes; ++k) {  // electrode 0 on a node reads as no electrode
        const TElectGridNode& node = seq.Grid.Nodes[k];
        if (!inMap(node)) continue;
        if (node.IX > colEnd_) colEnd_ = node.IX;
        if (node.IY > rowEnd_) rowEnd_ = node.IY;
    }
    map_.assign(static_cast<std::size_t>(colEnd_) * rowEnd_, 0u);
    for (int k = 0; k < kMaxElectrodes; ++k) {
        const TElectGridNode& node = seq.Grid.Nodes[k];
        if (inMap(node) && node.IX <= colEnd_ && node.IY <= rowEnd_)
            map_[static_cast<std::size_t>(node.IY - 1) * colEnd_ + (node.IX - 1)] = static_cast<std::uint32_t>(k);
    }
    for (int a = 0; a < kSpacingCoefficients; ++a) {
        Levels& lv = levels_[a];
        for (int n = 1; n <= kLevels; ++n)
            if (seq.SpacingLevels[a].Selected[n - 1]) lv.n[lv.count++] = static_cast<std::uint8_t>(n);
    }
}

bool Frame::Store(std::uint32_t A, std::uint32_t B, std::uint32_t M, std::uint32_t N, int n, int a, DepthTo to) {
    if (Full()) return false;
    const std::uint32_t abmn[4] = {A, B, M, N};
    const std::uint16_t number = ++counter_[a - 1];
    seq_.SetQuadripole(q_, abmn, n, a, 1, number);
    const float depth = seq_.QuadInfo[q_].Depth;
    switch (to) {
        case DepthTo::X:
            if (depth > seq_.MaxDepthX) seq_.MaxDepthX = depth;
            break;
        case DepthTo::Y:
            if (depth > seq_.MaxDepthY) seq_.MaxDepthY = depth;
            break;
        case DepthTo::YThenX:
            if (depth > seq_.MaxDepthY) seq_.MaxDepthY = depth;
            if (depth > seq_.MaxDepthX) seq_.MaxDepthX = depth;
            break;
        case DepthTo::AbsY:
            if (std::fabs(depth) > seq_.MaxDepthY) seq_.MaxDepthY = std::fabs(depth);
            break;
    }
    ++q_;
    return !Full();
}

}  // namespace generators
