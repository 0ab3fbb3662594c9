#pragma once
// Pin labels and row geometry of the block inspector Input_Output_Block.
#include <QPoint>
#include <QString>
#include <QStringList>
#include <optional>

class BlockCatalogue;
class ProjectModel;

namespace mimic {

// One label per pin: inputs 0..maxInputPin, outputs 0..maxOutputPin of the block's type.
struct InspectorPins {
    QStringList inputs;
    QStringList outputs;
};

// Labels of block n (1..99) as the inspector shows them: mode-dependent labels for the types
// that have mode tables, the repeated analog-input labels, the set-point block's own texts, the
// report block's "DATA"/"WR" inputs, the numbered pins of ALG, defaults otherwise. A mode the
// catalogue does not list falls back to the default labels. Empty for a block without a type.
InspectorPins inspectorPins(const BlockCatalogue &catalogue, const ProjectModel &model, int block);

// Mode of block n: setting 1 for RS4, setting 9 for SUM, setting 0 for the other types; read
// from the block's settings area and taken to the nearest integer. nullopt when unreadable.
std::optional<int> blockMode(const ProjectModel &model, int block, int type);

// Row k lies at top 18 k + 10: input label at left 18, its box at 114; output label at 188, its
// box at 298.
constexpr int RowPitch = 18;
inline QPoint inputLabelPos(int k) { return QPoint(18, RowPitch * k + 10); }
inline QPoint inputBoxPos(int k) { return QPoint(114, RowPitch * k + 10); }
inline QPoint outputLabelPos(int k) { return QPoint(188, RowPitch * k + 10); }
inline QPoint outputBoxPos(int k) { return QPoint(298, RowPitch * k + 10); }

}   // namespace mimic
