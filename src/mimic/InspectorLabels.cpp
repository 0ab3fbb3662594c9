#include "mimic/InspectorLabels.h"

#include "app/BlockCatalogue.h"
#include "app/Blocks.h"
#include "project/ProjectModel.h"

#include <cmath>

namespace mimic {

namespace {

bool hasModeOutputs(int t)
{
    switch (t) {
    case block::RS4:
    case block::SUM:
    case block::AND:
    case block::OR_:
    case block::PID:
    case block::MUX:
    case block::PAN:
    case block::MIN:
    case block::TIM:
    case block::OSC:
    case block::UNI: return true;
    default: return false;
    }
}

bool hasModeInputs(int t) { return t != block::MIN && hasModeOutputs(t); }

}   // namespace

std::optional<int> blockMode(const ProjectModel &model, int block, int type)
{
    if (block < 1 || block >= static_cast<int>(model.blockParamBase.size()))
        return std::nullopt;
    const int offset = type == block::RS4 ? 1 : type == block::SUM ? 9 : 0;
    const long long index = static_cast<long long>(model.blockParamBase[static_cast<std::size_t>(block)]) + offset;
    if (index < 0 || index >= static_cast<long long>(model.blockParams.size()))
        return std::nullopt;
    const float v = model.blockParams[static_cast<std::size_t>(index)];
    if (!std::isfinite(v) || std::fabs(v) > 1e6f)
        return std::nullopt;
    return static_cast<int>(std::lround(v));
}

InspectorPins inspectorPins(const BlockCatalogue &catalogue, const ProjectModel &model, int block)
{
    InspectorPins pins;
    if (block < 1 || block >= ProjectModel::Blocks)
        return pins;
    const int t = model.blockType[static_cast<std::size_t>(block)];
    if (t < 1 || t > BlockCatalogue::TypeCount)
        return pins;
    const std::optional<int> mode = blockMode(model, block, t);

    for (int k = 0; k <= catalogue.maxOutputPin(t); ++k) {
        QString label = catalogue.outputLabel(t, k);
        if (t == block::ALG) {
            label = QStringLiteral("Выход ") + QString::number(k + 1);
        } else if (t == block::A_I) {
            label = catalogue.outputLabel(t, k % 8);
        } else if (t == block::S_P) {
            const long long i = static_cast<long long>(model.blockTextBase[static_cast<std::size_t>(block)]) + k;
            label = i >= 0 && i < static_cast<long long>(model.blockTexts.size())
                ? model.blockTexts[static_cast<std::size_t>(i)]
                : QString();
        } else if (hasModeOutputs(t) && mode) {
            if (auto m = catalogue.modeOutputLabel(t, *mode, k))
                label = *m;
        }
        pins.outputs << label;
    }
    for (int k = 0; k <= catalogue.maxInputPin(t); ++k) {
        QString label = catalogue.inputLabel(t, k);
        if (t == block::ALG) {
            label = QStringLiteral("Вхід ") + QString::number(k + 1);
        } else if (t == block::REP) {
            label = (k < 16 ? QStringLiteral("DATA ") : QStringLiteral("WR ")) + QString::number(k + 1);
        } else if (hasModeInputs(t) && mode) {
            if (auto m = catalogue.modeInputLabel(t, *mode, k))
                label = *m;
        }
        pins.inputs << label;
    }
    return pins;
}

}   // namespace mimic
