#pragma once
// Pins the user's number conventions for one test and restores them afterwards.

#include "platform/base/locale_format.h"

class PinnedNumberSettings {
public:
    explicit PinnedNumberSettings(const char* decimal = ".", const char* thousand = ",", int negativeOrder = 1,
                                  int leadingZero = 1, const char* currency = "$")
        : m_saved(GetUserNumberSettings())
    {
        LocaleNumberSettings settings;
        settings.decimalSeparator = decimal;
        settings.thousandSeparator = thousand;
        settings.negativeOrder = negativeOrder;
        settings.leadingZero = leadingZero;
        settings.currencySymbol = currency;
        SetUserNumberSettings(settings);
    }
    ~PinnedNumberSettings() { SetUserNumberSettings(m_saved); }
    PinnedNumberSettings(const PinnedNumberSettings&) = delete;
    PinnedNumberSettings& operator=(const PinnedNumberSettings&) = delete;

private:
    LocaleNumberSettings m_saved;
};
