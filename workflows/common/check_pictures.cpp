#include "workflows/common/check_pictures.h"

#include <QLabel>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <functional>
#include <string>

#include "tools/pattern-gen/font.h"
#include "tools/pattern-gen/patterns.h"
#include "ui/dialog_items.h"
#include "workflows/common/common_ids.h"

using namespace kpm::ids;

namespace kpm::workflows {

namespace {

using patterns::Drawing;

QColor ColourOf(patterns::Ink ink) {
    const auto rgb = patterns::InkColour(ink);
    return {rgb[0], rgb[1], rgb[2]};
}

// Paints the part `source` (inches of the platen) of a pattern into
// `target`, on film.
void PaintDrawing(QPainter& painter, const Drawing& drawing, const QRectF& source,
                  const QRectF& target) {
    painter.save();
    painter.setClipRect(target);
    painter.fillRect(target, QColor(patterns::kFilmGrey, patterns::kFilmGrey, patterns::kFilmGrey));
    const double sx = target.width() / source.width();
    const double sy = target.height() / source.height();
    for (const patterns::Rect& r : drawing.rects()) {
        const QRectF rect(target.left() + (r.x - source.left()) * sx,
                          target.top() + (r.y - source.top()) * sy, r.width * sx, r.height * sy);
        if (rect.intersects(target)) {
            painter.fillRect(rect, ColourOf(r.ink));
        }
    }
    painter.restore();
}

// Combs coarse enough that one step of shift shows at screen size, and few
// enough lines that the largest shift stays under half their pitch.
patterns::FiringLayout ScreenFiring(int alignedStep, double aLineShift) {
    patterns::FiringLayout layout;
    layout.lines = 3;
    layout.pitch = 0.38;
    layout.lineWidth = 0.07;
    layout.stepShift = 0.024;
    layout.alignedStep = alignedStep;
    layout.aLineShift = aLineShift;
    return layout;
}

// The step numbers, the first head's row and the A line.
const QRectF kFiringCrop(0.35, 1.15, 13.45, 2.15);
// The matrix with its X and Y numbers.
const QRectF kMatrixCrop(0.45, 1.35, 12.75, 12.65);

void PaintFiring(QPainter& painter, const QRectF& target, int alignedStep, double aLineShift) {
    PaintDrawing(
        painter,
        patterns::FiringPattern("FIRING CHK COLOR", false, ScreenFiring(alignedStep, aLineShift)),
        kFiringCrop, target);
}

void PaintMatrix(QPainter& painter, const QRectF& target, int cleanX, int cleanY) {
    patterns::AlignmentLayout layout;
    layout.unit = 0.045;
    layout.labelDot = 0.06;
    layout.cleanX = cleanX;
    layout.cleanY = cleanY;
    PaintDrawing(painter, patterns::AlignmentPattern("ALIGN CHK", layout), kMatrixCrop, target);
}

// Bands coarse enough that one step of feed shows at screen size, the
// stripes high enough that three steps either way stay inside their band.
patterns::FeedingLayout ScreenFeeding(int smoothFwd, int smoothRvs) {
    patterns::FeedingLayout layout;
    layout.stepInches = 0.036;
    layout.stripe = 0.2;
    layout.labelDot = 0.03;
    layout.smoothFwd = smoothFwd;
    layout.smoothRvs = smoothRvs;
    return layout;
}

enum class FeedSection { Fwd, Rvs };
constexpr int kShownBands = 7;

// Seven bands of one section around its smooth band, their numbers and a
// short length of their stripes. Where the second stripe of a band runs
// into the first, the print gets twice the ink: shown darker.
void PaintFeeding(QPainter& painter, const QRectF& target, FeedSection section, int smoothBand) {
    const bool fwd = section == FeedSection::Fwd;
    const patterns::FeedingLayout layout =
        fwd ? ScreenFeeding(smoothBand, 0) : ScreenFeeding(0, smoothBand);
    const int first = std::clamp(smoothBand - kShownBands / 2, -patterns::kFeedingBands,
                                 patterns::kFeedingBands - kShownBands + 1);
    const double left = fwd ? patterns::kFeedingFwdLeft : patterns::kFeedingRvsLeft;
    const QRectF source(left - 0.85, patterns::FeedingBandTop(first) - 0.1, 2.4,
                        kShownBands * patterns::kFeedingPitch);
    PaintDrawing(painter, patterns::FeedingPattern("FEEDING PATTERN(1)", layout), source, target);

    const double sx = target.width() / source.width();
    const double sy = target.height() / source.height();
    const auto ink = patterns::InkColour(fwd ? patterns::Ink::Black : patterns::Ink::Cyan);
    const QColor doubled(ink[0] / 2, ink[1] / 2, ink[2] / 2);
    for (int band = first; band < first + kShownBands; ++band) {
        const double top = patterns::FeedingBandTop(band);
        const double second = top + layout.stripe + (band - smoothBand) * layout.stepInches;
        const double from = std::max(top, second);
        const double to = std::min(top + layout.stripe, second + layout.stripe);
        if (to <= from) {
            continue;
        }
        painter.fillRect(QRectF(target.left() + (left - source.left()) * sx,
                                target.top() + (from - source.top()) * sy,
                                (source.right() - left) * sx, (to - from) * sy),
                         doubled);
    }
}

// The printer's panel showing the title of the check pattern waiting to be
// printed, in the printer's dot font.
void PaintPanel(QPainter& painter, const QRectF& target, const std::string& title) {
    constexpr double kDot = 0.1;
    Drawing text;
    text.Text(0.0, 0.0, kDot, title, patterns::Ink::White);
    const double width = Drawing::TextWidth(title, kDot);
    const double height = patterns::kGlyphHeight * kDot;
    const double margin = 0.25;
    const QRectF source(-margin, -margin, width + 2 * margin, height + 2 * margin);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 44, 48));
    painter.drawRoundedRect(target, target.height() * 0.12, target.height() * 0.12);
    const QRectF screen = target.adjusted(target.height() * 0.08, target.height() * 0.08,
                                          -target.height() * 0.08, -target.height() * 0.08);
    painter.fillRect(screen, QColor(34, 70, 60));
    const double sx = screen.width() / source.width();
    const double sy = screen.height() / source.height();
    for (const patterns::Rect& r : text.rects()) {
        painter.fillRect(QRectF(screen.left() + (r.x - source.left()) * sx,
                                screen.top() + (r.y - source.top()) * sy, r.width * sx * 0.9,
                                r.height * sy * 0.9),
                         QColor(170, 240, 200));
    }
    painter.restore();
}

struct Picture {
    int id;
    QSize size;
    const char* description;
    std::function<void(QPainter&, const QRectF&)> paint;
};

const std::vector<Picture>& Pictures() {
    static const std::vector<Picture> pictures{
        {IDB_FIRING_STEP2_EVEN,
         {560, 90},
         "Firing check pattern: the combs of step 2 line up",
         [](QPainter& p, const QRectF& t) { PaintFiring(p, t, 2, 0.0); }},
        {IDB_FIRING_STEP5_EVEN,
         {560, 90},
         "Firing check pattern: the combs of step 5 line up, the A line is straight",
         [](QPainter& p, const QRectF& t) { PaintFiring(p, t, 5, 0.0); }},
        {IDB_FIRING_STEP8_BROKEN,
         {560, 90},
         "Firing check pattern: the combs of step 8 line up, the A line is broken",
         [](QPainter& p, const QRectF& t) { PaintFiring(p, t, 8, 0.16); }},
        {IDB_MATRIX_AT_1_MINUS2,
         {300, 288},
         "Alignment matrix: the clean square is at X 1, Y -2",
         [](QPainter& p, const QRectF& t) { PaintMatrix(p, t, 1, -2); }},
        {IDB_MATRIX_AT_0_0,
         {300, 288},
         "Alignment matrix: the clean square is at X 0, Y 0",
         [](QPainter& p, const QRectF& t) { PaintMatrix(p, t, 0, 0); }},
        {IDB_FEEDING_FWD_PLUS4,
         {144, 277},
         "Feeding pattern, FWD: band +4 is the smoothest",
         [](QPainter& p, const QRectF& t) { PaintFeeding(p, t, FeedSection::Fwd, 4); }},
        {IDB_FEEDING_RVS_MINUS5,
         {144, 277},
         "Feeding pattern, RVS: band -5 is the smoothest",
         [](QPainter& p, const QRectF& t) { PaintFeeding(p, t, FeedSection::Rvs, -5); }},
        {IDB_FEEDING_FWD_PLUS3,
         {144, 277},
         "Feeding pattern, FWD: band +3 is the smoothest",
         [](QPainter& p, const QRectF& t) { PaintFeeding(p, t, FeedSection::Fwd, 3); }},
        {IDB_FEEDING_RVS_MINUS3,
         {144, 277},
         "Feeding pattern, RVS: band -3 is the smoothest",
         [](QPainter& p, const QRectF& t) { PaintFeeding(p, t, FeedSection::Rvs, -3); }},
        {IDB_FEEDING_FWD_ZERO,
         {144, 277},
         "Feeding pattern, FWD: band 0 is the smoothest",
         [](QPainter& p, const QRectF& t) { PaintFeeding(p, t, FeedSection::Fwd, 0); }},
        {IDB_FEEDING_RVS_PLUS1,
         {144, 277},
         "Feeding pattern, RVS: band +1 is the smoothest",
         [](QPainter& p, const QRectF& t) { PaintFeeding(p, t, FeedSection::Rvs, 1); }},
        {IDB_PANEL_FIRING_COLOR,
         {300, 44},
         "FIRING CHK COLOR",
         [](QPainter& p, const QRectF& t) { PaintPanel(p, t, "FIRING CHK COLOR"); }},
        {IDB_PANEL_FIRING_WHITE,
         {300, 44},
         "FIRING CHK WHITE",
         [](QPainter& p, const QRectF& t) { PaintPanel(p, t, "FIRING CHK WHITE"); }},
        {IDB_PANEL_FEEDING,
         {300, 44},
         "FEEDING PATTERN(1)",
         [](QPainter& p, const QRectF& t) { PaintPanel(p, t, "FEEDING PATTERN(1)"); }},
        {IDB_PANEL_ALIGNMENT,
         {300, 44},
         "ALIGN CHK",
         [](QPainter& p, const QRectF& t) { PaintPanel(p, t, "ALIGN CHK"); }},
    };
    return pictures;
}

const Picture* Find(int pictureId) {
    for (const Picture& picture : Pictures()) {
        if (picture.id == pictureId) {
            return &picture;
        }
    }
    return nullptr;
}

}  // namespace

QSize CheckPictureSize(int pictureId) {
    const Picture* picture = Find(pictureId);
    return picture != nullptr ? picture->size : QSize();
}

QString CheckPictureDescription(int pictureId) {
    const Picture* picture = Find(pictureId);
    return picture != nullptr ? QString::fromUtf8(picture->description) : QString();
}

QPixmap RenderCheckPicture(int pictureId, QSize size, qreal devicePixelRatio) {
    const Picture* picture = Find(pictureId);
    if (picture == nullptr || size.isEmpty()) {
        return {};
    }
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    picture->paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

void ShowCheckPicture(ui::DialogItems& items, int control, int pictureId) {
    auto* label = items.ItemAs<QLabel>(control);
    if (label == nullptr) {
        return;
    }
    const QSize size96 = CheckPictureSize(pictureId);
    // An area without a picture takes no room, not even the layout's
    // spacing around it.
    label->setVisible(!size96.isEmpty());
    if (size96.isEmpty()) {
        label->clear();
        label->setMinimumSize(0, 0);
        label->setAccessibleName(QString());
        return;
    }
    const QScreen* screen = label->screen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInchX() : 96.0;
    const qreal ratio = screen != nullptr ? screen->devicePixelRatio() : 1.0;
    const QSize size(static_cast<int>(size96.width() * dpi / 96),
                     static_cast<int>(size96.height() * dpi / 96));
    label->setPixmap(RenderCheckPicture(pictureId, size, ratio));
    label->setMinimumSize(size);
    label->setAccessibleName(CheckPictureDescription(pictureId));
}

}  // namespace kpm::workflows
