#pragma once
// Saved state through the component layer: a control that keeps its properties in a property bag
// implements this interface, and a host that does not link the control's library reaches it with
// qobject_cast (see LoadProperties and SaveProperties in ComponentHost.h).

#include <QObject>

#include "vantile/PropertyBag.h"

namespace vantile {

class IPersistPropertyBag {
  public:
    // Applies saved state: every known key, an absent or unusable one giving its default.
    virtual void ReadProperties(const PropertyBag& bag) = 0;
    // Writes every property that differs from its default, in the control's saving order.
    virtual void WriteProperties(PropertyBag& bag) const = 0;

  protected:
    ~IPersistPropertyBag() = default;
};

}  // namespace vantile

Q_DECLARE_INTERFACE(vantile::IPersistPropertyBag, "com.brackenfold.Vantile.IPersistPropertyBag/1.0")
