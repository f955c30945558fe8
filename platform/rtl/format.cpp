#include "platform/rtl/format.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/floattext.h"

namespace {

class ArgReader {
public:
    ArgReader(const FormatArg* first, const FormatArg* last) : FNext(first), FEnd(last) { }

    template<typename T> const T& Take(const String& spec)
    {
        if (FNext == FEnd)
            throw EConvertError("No argument for format '" + spec + "'");
        const T* value = std::get_if<T>(&(FNext++)->Value());
        if (!value)
            throw EConvertError("Format '" + spec + "' invalid or incompatible with argument");
        return *value;
    }

private:
    const FormatArg* FNext;
    const FormatArg* FEnd;
};

// An integer given as a signed 32-bit value keeps its 32-bit pattern, as the class library's
// integers do ("%x" of -1 is "FFFFFFFF").
std::uint64_t UnsignedBits(Int64 v)
{
    if (v < 0 && v >= INT32_MIN)
        return static_cast<std::uint32_t>(v);
    return static_cast<std::uint64_t>(v);
}

String UnsignedText(std::uint64_t v, int base)
{
    char buf[32];
    String text(buf, std::to_chars(buf, buf + sizeof buf, v, base).ptr);
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

String ZeroPadded(String digits, int precision)
{
    if (precision > static_cast<int>(digits.size()))
        digits.insert(0, precision - digits.size(), '0');
    return digits;
}

// Width or precision: digits or '*' (the next argument); -1 when absent.
int ReadNumber(const String& fmt, size_t& i, ArgReader& args, const String& spec)
{
    if (i < fmt.size() && fmt[i] == '*') {
        ++i;
        return static_cast<int>(args.Take<Int64>(spec));
    }
    if (i >= fmt.size() || !std::isdigit(static_cast<unsigned char>(fmt[i])))
        return -1;
    int n = 0;
    while (i < fmt.size() && std::isdigit(static_cast<unsigned char>(fmt[i])))
        n = std::min(n * 10 + (fmt[i++] - '0'), 1 << 20);
    return n;
}

String ZeroMask(int count) { return count > 0 ? "0." + String(count, '0') : "0"; }

}  // namespace

String Format(const String& Fmt, std::initializer_list<FormatArg> Args)
{
    ArgReader args(Args.begin(), Args.end());
    String out;
    for (size_t i = 0; i < Fmt.size();) {
        if (Fmt[i] != '%') {
            out += Fmt[i++];
            continue;
        }
        const size_t start = i++;
        if (i < Fmt.size() && Fmt[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // The specifier as written, for error messages.
        size_t specEnd = i;
        while (specEnd < Fmt.size() && (std::strchr("-.*0123456789", Fmt[specEnd]) != nullptr))
            ++specEnd;
        const String spec = Fmt.substr(start, specEnd + 1 - start);

        const bool left = i < Fmt.size() && Fmt[i] == '-';
        if (left)
            ++i;
        const int width = ReadNumber(Fmt, i, args, spec);
        int precision = -1;
        if (i < Fmt.size() && Fmt[i] == '.') {
            ++i;
            precision = std::max(ReadNumber(Fmt, i, args, spec), 0);
        }
        if (i >= Fmt.size())
            throw EConvertError("Format '" + spec + "' invalid or incompatible with argument");
        String text;
        switch (std::tolower(static_cast<unsigned char>(Fmt[i++]))) {
        case 'd': {
            const Int64 v = args.Take<Int64>(spec);
            const std::uint64_t magnitude =
                    v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
            text.assign(v < 0 ? 1 : 0, '-');
            text += ZeroPadded(UnsignedText(magnitude, 10), precision);
            break;
        }
        case 'u': text = ZeroPadded(UnsignedText(UnsignedBits(args.Take<Int64>(spec)), 10), precision); break;
        case 'x': text = ZeroPadded(UnsignedText(UnsignedBits(args.Take<Int64>(spec)), 16), precision); break;
        case 'f': text = FormatFloat(ZeroMask(precision < 0 ? 2 : precision), args.Take<double>(spec)); break;
        case 'e': {
            const int digits = precision < 0 ? 15 : std::clamp(precision, 1, 15);
            text = FormatFloat(ZeroMask(digits - 1) + "E+000", args.Take<double>(spec));
            break;
        }
        case 'g':
            text = FloatToGeneralText(args.Take<double>(spec),
                                      precision < 0 ? 15 : std::clamp(precision, 1, 15));
            break;
        case 's':
            text = args.Take<String>(spec);
            if (precision >= 0 && precision < static_cast<int>(text.size()))
                text.resize(precision);
            break;
        default: throw EConvertError("Format '" + spec + "' invalid or incompatible with argument");
        }
        const int pad = width - static_cast<int>(text.size());
        if (pad > 0)
            text = left ? text + String(pad, ' ') : String(pad, ' ') + text;
        out += text;
    }
    return out;
}
