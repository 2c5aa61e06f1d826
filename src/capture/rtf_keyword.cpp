// SPDX-License-Identifier: GPL-3.0-or-later
// The RTF control words the reader acts on, looked up by name.
#include "capture/rtf_keyword.h"

#include <algorithm>
#include <unordered_map>

namespace nabrix {

namespace {

using Kind = RtfKeywordKind;

// Destinations that hold document metadata, pictures, embedded data, field codes,
// headers and footers, notes or list definitions: none of it is body text. Destinations
// marked with \* are skipped anyway; these are the ones writers emit without it.
constexpr std::string_view skippedDestinations =
    "aftncn aftnsep aftnsepc annotation atnauthor atndate atnicn atnid atnparent atnref "
    "atntime atrfend atrfstart author background bkmkend bkmkstart blipuid buptim category "
    "colorschememapping comment company creatim datafield datastore defchp defpap do "
    "doccomm docvar dptxbxtext ebcend ebcstart factoidname falt fchars ffdeftext ffentrymcr "
    "ffexitmcr ffformat ffhelptext ffl ffname ffstattext fldinst fldtype fname fontemb "
    "fontfile footer footerf footerl footerr footnote formfield ftncn ftnsep ftnsepc g "
    "generator gridtbl header headerf headerl headerr hl hlfr hlinkbase hlloc hlsrc hsv "
    "htmltag info keycode keywords latentstyles lchars levelnumbers leveltext lfolevel "
    "linkval list listlevel listname listoverride listoverridetable listpicture "
    "liststylename listtable lsdlockedexcept macc maccPr mailmerge manager mhtmltag mmath "
    "mmathPr moddate nesttableprops nextfile nonesttables nonshppict objalias objclass "
    "objdata objname objsect objtime oldcprops oldpprops oldsprops oldtprops operator "
    "panose password passwordhash pgdsc pgdsctbl picprop pict pn pnseclvl pntxta pntxtb "
    "printim private propname protend protstart protusertbl pxe revtbl rsidtbl rxe shpinst "
    "shppict sn sp stylesheet subject sv svb tc template themedata title txe ud userprops "
    "wgrffmtfilter windowcaption writereservation writereservhash xe xform xmlattrname "
    "xmlattrvalue xmlclose xmlname xmlnstbl xmlopen filetbl NeXTGraphic";

struct Entry {
    std::string_view name;
    RtfKeyword keyword;
};

constexpr Entry entries[] = {
    {"fonttbl", {Kind::FontTable, 0}},
    {"fldrslt", {Kind::ShownDestination, 0}},
    {"colortbl", {Kind::ColorTable, 0}},

    {"par", {Kind::ParagraphBreak, 0}},
    {"sect", {Kind::ParagraphBreak, 0}},
    {"page", {Kind::ParagraphBreak, 0}},
    {"line", {Kind::LineBreak, 0}},
    {"cell", {Kind::CellEnd, 0}},
    {"nestcell", {Kind::CellEnd, 0}},
    {"row", {Kind::RowEnd, 0}},
    {"nestrow", {Kind::RowEnd, 0}},

    {"tab", {Kind::Character, 0x09}},
    {"bullet", {Kind::Character, 0x2022}},
    {"emdash", {Kind::Character, 0x2014}},
    {"endash", {Kind::Character, 0x2013}},
    {"lquote", {Kind::Character, 0x2018}},
    {"rquote", {Kind::Character, 0x2019}},
    {"ldblquote", {Kind::Character, 0x201C}},
    {"rdblquote", {Kind::Character, 0x201D}},
    {"emspace", {Kind::Character, 0x2003}},
    {"enspace", {Kind::Character, 0x2002}},
    {"qmspace", {Kind::Character, 0x2005}},
    {"zwbo", {Kind::Character, 0x200B}},
    {"zwnj", {Kind::Character, 0x200C}},
    {"zwj", {Kind::Character, 0x200D}},
    {"ltrmark", {Kind::Character, 0x200E}},
    {"rtlmark", {Kind::Character, 0x200F}},

    {"plain", {Kind::Plain, 0}},
    {"b", {Kind::Bold, 0}},
    {"i", {Kind::Italic, 0}},
    {"ul", {Kind::Underline, 0}},
    {"uld", {Kind::Underline, 0}},
    {"uldash", {Kind::Underline, 0}},
    {"uldashd", {Kind::Underline, 0}},
    {"uldashdd", {Kind::Underline, 0}},
    {"uldb", {Kind::Underline, 0}},
    {"ulhwave", {Kind::Underline, 0}},
    {"ulldash", {Kind::Underline, 0}},
    {"ulth", {Kind::Underline, 0}},
    {"ulthd", {Kind::Underline, 0}},
    {"ulthdash", {Kind::Underline, 0}},
    {"ulthdashd", {Kind::Underline, 0}},
    {"ulthdashdd", {Kind::Underline, 0}},
    {"ulthldash", {Kind::Underline, 0}},
    {"ululdbwave", {Kind::Underline, 0}},
    {"ulw", {Kind::Underline, 0}},
    {"ulwave", {Kind::Underline, 0}},
    {"ulnone", {Kind::UnderlineNone, 0}},
    {"strike", {Kind::StrikeOut, 0}},
    {"striked", {Kind::StrikeOut, 0}},
    {"v", {Kind::Hidden, 0}},
    {"cf", {Kind::ForegroundColor, 0}},
    {"fs", {Kind::FontSize, 0}},
    {"f", {Kind::Font, 0}},

    {"u", {Kind::Unicode, 0}},
    {"uc", {Kind::UnicodeSkipCount, 0}},
    {"bin", {Kind::Binary, 0}},

    {"ansi", {Kind::CharacterSet, 1252}},
    {"mac", {Kind::CharacterSet, 10000}},
    {"pc", {Kind::CharacterSet, 437}},
    {"pca", {Kind::CharacterSet, 850}},
    {"ansicpg", {Kind::AnsiCodePage, 0}},
    {"deff", {Kind::DefaultFont, 0}},
    {"fcharset", {Kind::FontCharset, 0}},
    {"cpg", {Kind::FontCodePage, 0}},
    {"red", {Kind::Red, 0}},
    {"green", {Kind::Green, 0}},
    {"blue", {Kind::Blue, 0}},
};

const std::unordered_map<std::string_view, RtfKeyword>& keywordTable()
{
    static const auto table = [] {
        std::unordered_map<std::string_view, RtfKeyword> map;
        for (std::string_view names = skippedDestinations; !names.empty();) {
            const auto end = std::min(names.find(' '), names.size());
            map.emplace(names.substr(0, end), RtfKeyword{Kind::SkippedDestination, 0});
            names.remove_prefix(std::min(end + 1, names.size()));
        }
        for (const Entry& entry : entries)
            map.emplace(entry.name, entry.keyword);
        return map;
    }();
    return table;
}

} // namespace

RtfKeyword rtfKeyword(std::string_view name)
{
    const auto& table = keywordTable();
    const auto found = table.find(name);
    return found == table.end() ? RtfKeyword{} : found->second;
}

} // namespace nabrix
