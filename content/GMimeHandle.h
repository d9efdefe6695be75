#pragma once

#include <gmime/gmime.h>

#include <utility>

// Initialises GMime once per process (its charset tables and type system);
// every wrapper calls it before its first GMime call.
void EnsureGMimeInitialized();

// An owning reference to a GObject. GMime hands out objects either with a
// reference for the caller ("transfer full"), which the handle takes over,
// or lends them ("transfer none"), which the handle turns into a reference
// of its own. The reference goes with the handle.
template <class T>
class TGObjectHandle
{
public:
    TGObjectHandle() = default;
    ~TGObjectHandle() { Reset(); }
    TGObjectHandle(const TGObjectHandle& other) : FObject(other.FObject)
    {
        if (FObject)
            g_object_ref(FObject);
    }
    TGObjectHandle(TGObjectHandle&& other) noexcept : FObject(std::exchange(other.FObject, nullptr)) {}
    TGObjectHandle& operator=(TGObjectHandle other) noexcept
    {
        std::swap(FObject, other.FObject);
        return *this;
    }

    // Takes over a reference the caller owns ("transfer full").
    [[nodiscard]] static TGObjectHandle Adopt(T* object)
    {
        TGObjectHandle handle;
        handle.FObject = object;
        return handle;
    }
    // Adds a reference to a lent object ("transfer none").
    [[nodiscard]] static TGObjectHandle Share(T* object)
    {
        if (object)
            g_object_ref(object);
        return Adopt(object);
    }

    [[nodiscard]] T* Get() const { return FObject; }
    explicit operator bool() const { return FObject != nullptr; }
    void Reset()
    {
        if (FObject)
            g_object_unref(std::exchange(FObject, nullptr));
    }

private:
    T* FObject = nullptr;
};

// Memory that GLib allocated for the caller, freed with g_free.
class TGCharHandle
{
public:
    explicit TGCharHandle(char* text) : FText(text) {}
    ~TGCharHandle() { g_free(FText); }
    TGCharHandle(const TGCharHandle&) = delete;
    TGCharHandle& operator=(const TGCharHandle&) = delete;

    [[nodiscard]] const char* Get() const { return FText; }

private:
    char* FText;
};
