#include "mimic/BlockSchemaView.h"

#include "animation/Artwork.h"
#include "app/Colors.h"
#include "mimic/ElementLabel.h"
#include "mimic/SchemaLayout.h"
#include "project/ProjectModel.h"

#include <QPainter>

BlockSchemaView::BlockSchemaView(const Artwork &art, QWidget *parent) : QWidget(parent), art_(art)
{
    setObjectName(QStringLiteral("BlockSchema"));
    setAutoFillBackground(true);
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
    for (int k = 1; k <= PictureCount; ++k) {
        auto *pic = new ElementLabel(k, this);
        pic->setObjectName(QStringLiteral("Block_IMAGE"));
        pic->setCursor(Qt::PointingHandCursor);
        pic->hide();
        connect(pic, &ElementLabel::clicked, this, &BlockSchemaView::pictureClicked);
        pictures_[static_cast<std::size_t>(k)] = pic;
    }
}

ElementLabel *BlockSchemaView::Block_IMAGE(int k) const
{
    if (k < 1 || k > PictureCount)
        return nullptr;
    return pictures_[static_cast<std::size_t>(k)];
}

void BlockSchemaView::draw(const ProjectModel &model)
{
    using namespace mimic::schema;
    captions_.clear();
    for (const Icon &icon : icons()) {
        ElementLabel *pic = Block_IMAGE(icon.index);
        pic->setPixmap(art_.blockPicture(icon.type));
        pic->setGeometry(QRect(icon.pos, QSize(40, 40)));
        pic->show();
        captions_.push_back({icon.captionPos, icon.caption, false});
    }
    for (int k = 4; k < FirstBlockCell; ++k)
        Block_IMAGE(k)->hide();
    for (int k = FirstBlockCell; k <= LastBlockCell; ++k) {
        const int n = blockOfCell(k);
        const int type = model.blockType[static_cast<std::size_t>(n)];
        ElementLabel *pic = Block_IMAGE(k);
        const QPixmap &pm = art_.blockPicture(type);
        if (type == 0 || pm.isNull()) {
            pic->hide();
        } else {
            pic->setPixmap(pm);
            pic->setGeometry(QRect(picturePos(k), pm.size()));
            pic->show();
        }
    }
    for (int k = FirstBlockCell; k <= LastBlockCell; ++k) {
        const int n = blockOfCell(k);
        const bool exists = model.blockType[static_cast<std::size_t>(n)] != 0;
        captions_.push_back({numberPos(k, exists), numberText(n), true});
    }
    update();
}

void BlockSchemaView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QFontMetrics fm(font());
    for (const Caption &c : captions_) {
        p.setPen(c.number ? colorFromBgr(colors::Blue, palette()) : palette().color(QPalette::WindowText));
        p.drawText(QPoint(c.pos.x(), c.pos.y() + fm.ascent()), c.text);
    }
}
