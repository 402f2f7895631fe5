// One registry key held open for reading string values, with counts in
// characters rather than bytes.
#pragma once

#include <windows.h>

#include "UniqueHkey.h"

namespace userdata {

// Either Closed (no key held: after construction, close, or a failed open)
// or Open (holding the key of the last successful open). Move-only; moving
// hands the key over and leaves the source Closed. One thread at a time.
class TvRegistryAccess {
public:
    TvRegistryAccess() noexcept = default;

    // The virtual members keep this declaration order (destructor, open,
    // close): code built against this class relies on their table slots.

    // Closes the key held, if any.
    virtual ~TvRegistryAccess();

    // Opens `subKey` under `root` for reading (KEY_READ), with the
    // machine-to-user fallback of RegistryOpenKey. Whatever key was held is
    // released first, through close(), even when the new open then fails.
    // On failure the object is Closed and the status is returned.
    // A null `subKey` gives ERROR_INVALID_PARAMETER (after the release)
    // without touching the registry: it would open a second handle to
    // `root`, or `root` itself when that is a predefined key, which this
    // object must not own.
    virtual LSTATUS open(HKEY root, const wchar_t* subKey);

    // Releases the key held, if any. Always 0, also when the platform reports
    // an error while closing: the handle is unusable afterwards either way.
    virtual LSTATUS close();

    // Reads the REG_SZ or REG_EXPAND_SZ value `valueName` (null: the key's
    // default value) into `buffer`, as stored: no expansion, and the
    // terminating NUL counted when it was stored. On entry `*chars` is the
    // capacity of `buffer` in characters; a null `buffer` asks for the size
    // only. On success `*chars` receives the length in characters (an odd
    // final byte does not count).
    // A null `chars` gives ERROR_INVALID_PARAMETER without reading anything.
    // Unlike the library's other out-parameters, `*chars` is set to 0 on any
    // other failure, so the size needed is not reported:
    //   - ERROR_MORE_DATA when the buffer is too small;
    //   - ERROR_INVALID_DATA for any other value type, also on a size query,
    //     and for REG_SZ data that is not properly terminated;
    //   - the platform's status for a missing value or a Closed object.
    // The buffer's contents are unspecified after a failure; a size query
    // writes nothing to it.
    [[nodiscard]] LSTATUS queryStringValue(const wchar_t* valueName, wchar_t* buffer, DWORD* chars);

    // The key held, or null when Closed. Ownership stays with the object.
    HKEY handle() const noexcept { return key.get(); }

    TvRegistryAccess(const TvRegistryAccess&) = delete;
    TvRegistryAccess& operator=(const TvRegistryAccess&) = delete;
    TvRegistryAccess(TvRegistryAccess&& other) noexcept = default;
    // Releases the key held, then takes over the key of `other`.
    TvRegistryAccess& operator=(TvRegistryAccess&& other) noexcept = default;

private:
    UniqueHkey key;
};

}  // namespace userdata
