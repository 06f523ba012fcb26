#pragma once
// The root of the library's classes and their class references. A class
// reference (TMetaClass) names the class and its parent; later layers hang
// construction, published tables and message handlers on it.
//
// A class declares itself with one line inside its body and one in its source:
//
//     class TStrings : public TPersistent {
//         VELBRIN_CLASS(TStrings, TPersistent)
//     ...
//     VELBRIN_DEFINE_CLASS(TStrings, TPersistent, "Classes")

namespace velbrin {

class TMetaClass {
public:
    TMetaClass(const char* name, const TMetaClass* parent, const char* unitName)
        : name_(name), parent_(parent), unitName_(unitName) {}
    TMetaClass(const TMetaClass&) = delete;
    TMetaClass& operator=(const TMetaClass&) = delete;

    const char* Name() const { return name_; }
    const TMetaClass* Parent() const { return parent_; }
    const char* UnitName() const { return unitName_; }

    // True when this class is `other` or descends from it.
    bool InheritsFrom(const TMetaClass& other) const;

private:
    const char* name_;
    const TMetaClass* parent_;
    const char* unitName_;
};

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    static const TMetaClass& StaticClass();
    virtual const TMetaClass& ClassType() const { return StaticClass(); }

    const char* ClassName() const { return ClassType().Name(); }
    bool InheritsFrom(const TMetaClass& other) const { return ClassType().InheritsFrom(other); }
    template <class T> bool Is() const { return InheritsFrom(T::StaticClass()); }
};

} // namespace velbrin

#define VELBRIN_CLASS(Class, Parent)                                                               \
public:                                                                                            \
    static const ::velbrin::TMetaClass& StaticClass();                                             \
    const ::velbrin::TMetaClass& ClassType() const override {                                      \
        return StaticClass();                                                                      \
    }                                                                                              \
                                                                                                   \
private:

#define VELBRIN_DEFINE_CLASS(Class, Parent, Unit)                                                  \
    const ::velbrin::TMetaClass& Class::StaticClass() {                                            \
        static const ::velbrin::TMetaClass meta(#Class, &Parent::StaticClass(), Unit);             \
        return meta;                                                                               \
    }
