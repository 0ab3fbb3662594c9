#pragma once
// The block schema: the SCADA, trend and journal icons and one picture per existing block with
// its number, drawn over the whole page area while the tab control is hidden.
#include <QPoint>
#include <QString>
#include <QWidget>
#include <array>
#include <vector>

class Artwork;
class ElementLabel;
class ProjectModel;

class BlockSchemaView : public QWidget {
    Q_OBJECT
public:
    static constexpr int PictureCount = 104;   // Block_IMAGE(1..104)

    BlockSchemaView(const Artwork &art, QWidget *parent = nullptr);

    // Clear and draw: icons, captions, block pictures and numbers from the model's block types.
    void draw(const ProjectModel &model);

    // Block_IMAGE(k), k = 1..104; nullptr otherwise.
    ElementLabel *Block_IMAGE(int k) const;

    struct Caption {
        QPoint pos;   // top-left of the text
        QString text;
        bool number;   // printed in blue
    };
    const std::vector<Caption> &captions() const { return captions_; }

Q_SIGNALS:
    void pictureClicked(int index);

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    const Artwork &art_;
    std::array<ElementLabel *, PictureCount + 1> pictures_{};
    std::vector<Caption> captions_;
};
