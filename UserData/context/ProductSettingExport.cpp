// The export that hands one product settings value to the host.
#include "../include/UserData.h"
#include "CallerBuffer.h"
#include "ProductSettings.h"

unsigned int GetProductSpecificFilePath(const wchar_t* name, wchar_t* buffer, unsigned long size) {
    return userdata::CopyToCallerBuffer(userdata::GetProductSetting(L"ProductSpecific", name, {}),
                                        buffer, size);
}
