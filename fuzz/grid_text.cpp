// The grid's text parsers and formatters under any number conventions: numbers, dates and
// amounts typed into cells, the display text of numbers, locale number formatting, and the
// masked edit's mask over any sequence of keystrokes. The grid runs on the toolkit-free
// platform base, as its tests without a display do.
#include "fuzz_support.h"

#include "grid/UGCell.h"
#include "grid/UGCtrl.h"
#include "grid/UGGridInfo.h"
#include "grid/UGMaskedEdit.h"

#include "platform/base/locale_format.h"
#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"
#include "platform/base/window.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string pick(FuzzedDataProvider& input, std::vector<std::string> choices)
{
    choices.push_back(input.ConsumeRandomLengthString(3));
    return choices[input.ConsumeIntegralInRange<std::size_t>(0, choices.size() - 1)];
}

void check_number_formatting(FuzzedDataProvider& input, const std::string& text)
{
    const std::string decimal = pick(input, { ".", "," });
    const std::string thousand = pick(input, { ",", ".", " ", "" });
    NUMBERFMTA format;
    format.NumDigits = input.ConsumeIntegralInRange<UINT>(0, 12);
    format.LeadingZero = input.ConsumeIntegralInRange<UINT>(0, 1);
    format.Grouping = input.PickValueInArray<UINT>({ 0, 3, 30, 32, 320, 12345 });
    format.lpDecimalSep = const_cast<char*>(decimal.c_str());
    format.lpThousandSep = const_cast<char*>(thousand.c_str());
    format.NegativeOrder = input.ConsumeIntegralInRange<UINT>(0, 5);
    const NUMBERFMTA* used = input.ConsumeBool() ? &format : nullptr;

    const int needed = GetNumberFormatA(LOCALE_USER_DEFAULT, 0, text.c_str(), used, nullptr, 0);
    if (needed <= 0)
        return;
    std::vector<char> buffer(static_cast<std::size_t>(needed) + 1, '#');
    const int written = GetNumberFormatA(LOCALE_USER_DEFAULT, 0, text.c_str(), used, buffer.data(), needed);
    FUZZ_CHECK(written == needed, "the size asked for is the size written: " + text);
    FUZZ_CHECK(buffer[static_cast<std::size_t>(needed) - 1] == '\0' && buffer[static_cast<std::size_t>(needed)] == '#',
               "the text ends where its size says: " + text);
    if (needed > 1)
        FUZZ_CHECK(GetNumberFormatA(LOCALE_USER_DEFAULT, 0, text.c_str(), used, buffer.data(), needed - 1) == 0,
                   "a buffer one too small is refused: " + text);
}

void check_parsers(const std::string& text)
{
    double number = 0.0;
    const CString cell_text(text.c_str());
    CUGCell::ParseNumber(0, &cell_text, &number);

    COleDateTime date;
    if (date.ParseDateTime(text.c_str()) && date.GetStatus() == COleDateTime::valid) {
        // Days of the years 100 to 9999.
        FUZZ_CHECK(std::isfinite(date.m_dt) && date.m_dt > -657435.0 && date.m_dt < 2958466.0,
                   "a date parsed lies in the calendar's range: " + text);
    }
    COleCurrency amount;
    amount.ParseCurrency(text.c_str());
}

void check_display_text(FuzzedDataProvider& input, const std::string& text, bool default_settings)
{
    CUGCell cell;
    const double value = input.ConsumeFloatingPoint<double>();
    cell.SetNumber(value);
    const bool fixed = input.ConsumeBool();
    if (fixed)
        cell.SetNumberDecimals(input.ConsumeIntegralInRange<int>(-5, 40));
    if (input.ConsumeBool())
        cell.SetPropertyFlags(cell.GetPropertyFlags() | UGCELL_DONOT_LOCALIZE);
    const char* shown = cell.GetDisplayText();
    FUZZ_CHECK(shown != nullptr, "a number always has a display text");
    if (default_settings && !fixed && std::isfinite(value) && std::fabs(value) < 1e15 && std::fabs(value) > 1e-6) {
        double read = 0.0;
        const CString shown_text(shown);
        CUGCell::ParseNumber(0, &shown_text, &read);
        FUZZ_CHECK(std::fabs(read - value) <= std::fabs(value) * 1e-13,
                   std::string("a number's display text reads back as the number: ") + shown);
    }

    CUGCell typed;
    typed.SetTextValue(text.c_str());
    typed.SetDataType(input.PickValueInArray<short>({ UGCELLDATA_STRING, UGCELLDATA_NUMBER, UGCELLDATA_TEXT_AS_TYPED,
                                                     UGCELLDATA_TIME, UGCELLDATA_CURRENCY }));
    FUZZ_CHECK(text.c_str()[0] == '\0' || typed.GetDisplayText() != nullptr, "a cell with text has a display text");
    typed.GetNumber();
}

// Whether every position of the text holds its literal or a character its mask position takes.
bool fits_mask(const CUGMaskedEdit& mask, const std::string& text)
{
    const CString& pattern = mask.GetPattern();
    const CString& literals = mask.GetTemplate();
    if (static_cast<int>(text.size()) > pattern.GetLength())
        return false;
    for (int i = 0; i < static_cast<int>(text.size()); ++i) {
        const bool fits = literals[i] != CUGMaskedEdit::PLACEHOLDER
                              ? text[static_cast<std::size_t>(i)] == literals[i]
                              : CUGMaskedEdit::CharFits(pattern[i], static_cast<unsigned char>(text[static_cast<std::size_t>(i)]));
        if (!fits)
            return false;
    }
    return true;
}

// A grid on a dialog with no display, made once: the windows keep their own text and selection.
struct editing_grid {
    editing_grid()
    {
        FUZZ_CHECK(dialog.CreateEx(0, nullptr, "Dialog", WS_POPUP | WS_VISIBLE, CRect(0, 0, 600, 500), nullptr, 0),
                   "the dialog is made");
        FUZZ_CHECK(placeholder.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 410, 310), &dialog,
                                      UG_PLACEHOLDER_ID),
                   "the place-holder is made");
        FUZZ_CHECK(grid.AttachToDialogControl(&dialog) == 1, "the grid attaches");
        grid.SetColumnCount(3);
        grid.SetRowCount(3);
        grid.RecalcPartLayout();
    }
    CWnd dialog;
    CWnd placeholder;
    CUGCtrl grid;
};

std::string text_of(CWnd* window)
{
    CString text;
    window->GetWindowText(text);
    return text.GetString();
}

void check_masked_typing(FuzzedDataProvider& input)
{
    static editing_grid* const editing = new editing_grid();  // lives as long as the process
    CUGCtrl& grid = editing->grid;
    platform::reset_key_table();

    const std::string mask = input.ConsumeRandomLengthString(20);
    const std::string initial = input.ConsumeRandomLengthString(20);
    CUGMaskedEdit formatter;
    formatter.SetMask(mask.c_str());
    if (formatter.IsMaskActive())
        FUZZ_CHECK(fits_mask(formatter, formatter.FormatThroughMask(CString(initial.c_str())).GetString()),
                   "text through the mask fits the mask: " + mask);

    CUGCell cell;
    grid.GetCell(1, 1, &cell);
    cell.SetMask(mask.c_str());
    cell.SetTextValue(initial.c_str());
    grid.StoreCellAt(1, 1, &cell);
    grid.GotoCell(1, 1);
    if (grid.StartEdit(1, 1) != 0)
        return;
    CWnd* edit = grid.GetEditControlInUse();
    if (edit == nullptr)
        return;

    bool only_typed = true;
    const std::string keys = input.ConsumeRemainingBytesAsString();
    for (const char key : keys) {
        const auto byte = static_cast<unsigned char>(key);
        switch (byte) {
        case 1: edit->SendMessage(WM_KEYDOWN, VK_LEFT, 1); only_typed = false; break;
        case 2: edit->SendMessage(WM_KEYDOWN, VK_RIGHT, 1); only_typed = false; break;
        case 3: edit->SendMessage(WM_KEYDOWN, VK_HOME, 1); only_typed = false; break;
        case 4: edit->SendMessage(WM_KEYDOWN, VK_END, 1); only_typed = false; break;
        case 5: edit->SendMessage(WM_KEYDOWN, VK_DELETE, 1); only_typed = false; break;
        case 6: edit->SendMessage(WM_CHAR, 8, 1); only_typed = false; break;
        default: edit->SendMessage(WM_CHAR, byte, 1); only_typed = only_typed && byte >= 0x20 && byte != 0x7F; break;
        }
    }
    const std::string typed = text_of(edit);
    const CUGMaskedEdit* masked = dynamic_cast<CUGMaskedEdit*>(edit);
    if (masked && masked->IsMaskActive() && only_typed)
        FUZZ_CHECK(fits_mask(*masked, typed), "typing only what the mask shows: '" + typed + "' under " + mask);
    edit->SendMessage(WM_KEYDOWN, keys.size() % 2 ? VK_RETURN : VK_ESCAPE, 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const bool default_settings = input.ConsumeBool();
    LocaleNumberSettings settings;
    if (!default_settings) {
        settings.decimalSeparator = pick(input, { ".", ",", "" });
        settings.thousandSeparator = pick(input, { ",", ".", " ", "'", "" });
        settings.currencySymbol = pick(input, { "$", "\xE2\x82\xAC", "kr", "" });
        settings.negativeOrder = input.ConsumeIntegralInRange<int>(-1, 5);
        settings.leadingZero = input.ConsumeIntegralInRange<int>(-1, 2);
        settings.digits = input.ConsumeIntegralInRange<int>(-1, 12);
    }
    SetUserNumberSettings(settings);

    const std::string text = input.ConsumeRandomLengthString(48);
    check_parsers(text);
    check_number_formatting(input, text);
    check_display_text(input, text, default_settings);
    check_masked_typing(input);
    return 0;
}
