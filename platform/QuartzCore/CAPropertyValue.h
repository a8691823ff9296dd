#pragma once

#include "CoreGraphics/CGColor.h"
#include "CoreGraphics/CGImage.h"
#include "CoreGraphics/CGPath.h"
#include "QuartzCore/CATransform3D.h"

#include <memory>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

class CAMediaTimingFunction;

// What the platform passes as an object to key-value coding, to animations'
// from and to values and to transaction keys: nil, a number (NSNumber, kept as
// a double like the platform's), a geometry value (NSValue), a transform, a
// colour, an image, a path, an array of colours or numbers, or a timing function.
class CAPropertyValue {
public:
    using Colors = std::vector<CGColorRef>;
    using Numbers = std::vector<CGFloat>;
    using TimingFunction = std::shared_ptr<const CAMediaTimingFunction>;
    using Storage = std::variant<std::monostate, bool, double, CGPoint, CGSize, CGRect, CATransform3D, CGColorRef, CGImageRef, CGPathRef,
        Colors, Numbers, TimingFunction>;

    CAPropertyValue() = default;
    CAPropertyValue(std::nullptr_t) { }
    CAPropertyValue(bool value) : m_storage(value) { }
    CAPropertyValue(const char*) = delete;  // not a boolean
    CAPropertyValue(int value) : m_storage(static_cast<double>(value)) { }
    CAPropertyValue(float value) : m_storage(static_cast<double>(value)) { }
    CAPropertyValue(double value) : m_storage(value) { }
    CAPropertyValue(CGPoint value) : m_storage(value) { }
    CAPropertyValue(CGSize value) : m_storage(value) { }
    CAPropertyValue(CGRect value) : m_storage(value) { }
    CAPropertyValue(const CATransform3D& value) : m_storage(value) { }
    // A null colour, image or path is nil, as a nil object is.
    CAPropertyValue(CGColorRef value) { if (value) m_storage = std::move(value); }
    CAPropertyValue(CGImageRef value) { if (value) m_storage = std::move(value); }
    CAPropertyValue(CGPathRef value) { if (value) m_storage = std::move(value); }
    CAPropertyValue(Colors value) : m_storage(std::move(value)) { }
    CAPropertyValue(Numbers value) : m_storage(std::move(value)) { }
    CAPropertyValue(TimingFunction value) { if (value) m_storage = std::move(value); }

    [[nodiscard]] bool isNil() const { return std::holds_alternative<std::monostate>(m_storage); }
    [[nodiscard]] const Storage& storage() const { return m_storage; }
    template<class T>
    [[nodiscard]] const T* get() const { return std::get_if<T>(&m_storage); }

    // Numbers and booleans as NSNumber answers them; anything else gives 0 / false, as a message to nil does.
    [[nodiscard]] double doubleValue() const;
    [[nodiscard]] float floatValue() const { return static_cast<float>(doubleValue()); }
    [[nodiscard]] bool boolValue() const { return doubleValue() != 0; }

    // Same kind and same value; colours by their components, images and paths by identity.
    [[nodiscard]] bool isEqual(const CAPropertyValue&) const;

    // A struct field by name ("x", "size.width", "scale.x", "rotation.z"…); nullopt when this
    // value has no such field.
    [[nodiscard]] std::optional<CAPropertyValue> valueForField(std::string_view path) const;
    // This value with one field replaced; nullopt when the field or the new value's kind does not fit.
    [[nodiscard]] std::optional<CAPropertyValue> settingField(std::string_view path, const CAPropertyValue& field) const;

private:
    Storage m_storage;
};

// The value a fraction of the way from one value to another of the same kind:
// numbers, points, sizes, rectangles and transforms mix; colours mix as device
// RGBA; arrays of colours or numbers mix element by element when the counts
// agree; paths mix point by point when their elements agree. Anything else
// (booleans, images, mismatched kinds) cannot mix and switches halfway.
[[nodiscard]] CAPropertyValue CAPropertyValueInterpolate(const CAPropertyValue& from, const CAPropertyValue& to, double fraction);
[[nodiscard]] bool CAPropertyValueCanInterpolate(const CAPropertyValue& from, const CAPropertyValue& to);
