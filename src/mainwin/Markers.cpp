#include "mainwin/Markers.h"

#include <QVariant>
#include <QWidget>
#include <cstdint>
#include <string>

#include "vantile/ComponentHost.h"
#include "vantile/OleColor.h"
#include "vantile/PropertyBag.h"
#include "vantile/Twips.h"
#include "views/Twips.h"

namespace quorvane::mainwin {

// The control library keeps its own copy of the twips rule; marker sizes and mouse positions
// cross between the two, so they must agree.
static_assert(vantile::kTwipsPerPixel == views::kTwipsPerPixel);

std::vector<QWidget*> CreateKeyMarkers(QWidget* parent, int count, QStringList& places) {
    std::vector<QWidget*> markers(static_cast<std::size_t>(count), nullptr);
    vantile::PropertyBag saved;
    saved.Write("backcolor", static_cast<std::int32_t>(views::kMarkerDesignColor));
    saved.Write("font",
                vantile::FontDesc{std::string(views::kMarkerFontName), views::kMarkerFontPoints,
                                  true, false, views::kMarkerFontCharset});
    saved.Write("edge", static_cast<std::int32_t>(views::kMarkerDesignEdge));
    saved.Write("caption", std::string());
    const vantile::ClassLookup found = vantile::FindClass(vantile::kVantileProgId);
    places = found.places;
    for (QWidget*& marker : markers) {
        marker = vantile::CreateControl(found, parent, &saved);
    }
    return markers;
}

QString MissingMarkerControlText(const QStringList& places) {
    QString text = QStringLiteral(
                       "The marker control \"%1\" could not be loaded, so Quorvane "
                       "cannot show chords.\n\nLooked in:")
                       .arg(QLatin1String(vantile::kVantileProgId));
    for (const QString& place : places) {
        text += QStringLiteral("\n") + place;
    }
    return text;
}

// The host binds the members it uses by their dispatch identifiers.
void SetMarkerBackColor(QWidget* marker, views::OleColor color, vantile::DispatchCache* cache) {
    vantile::PutByDispId(marker, vantile::dispid::BackColor, vantile::OleColor{color}, cache);
}

void SetMarkerCaption(QWidget* marker, const QString& caption, vantile::DispatchCache* cache) {
    vantile::PutByDispId(marker, vantile::dispid::Caption, caption, cache);
}

QString MarkerCaptionOf(const QWidget* marker) {
    return vantile::GetByDispId(marker, vantile::dispid::Caption).toString();
}

views::OleColor MarkerBackColorOf(const QWidget* marker) {
    return vantile::GetByDispId(marker, vantile::dispid::BackColor).toUInt();
}

void RefreshMarker(QWidget* marker) {
    vantile::InvokeByDispId(marker, vantile::dispid::Refresh);
}

MarkerMouseRelay::MarkerMouseRelay(QWidget* marker, int index, Handler handler)
    : QObject(marker), index_(index), handler_(std::move(handler)) {
    connected_ =
        static_cast<bool>(QObject::connect(marker, SIGNAL(MouseDown(short, short, float, float)),
                                           this, SLOT(OnMouseDown(short, short, float, float))));
}

void MarkerMouseRelay::OnMouseDown(short button, short shift, float x, float y) {
    if (handler_) {
        handler_(index_, button, shift, x, y);
    }
}

}  // namespace quorvane::mainwin
