// The script's keyword vocabulary: 134 words with fixed numbers.
//
// A keyword's number is its position in the table, counting from 0. The
// numbers identify statements, the properties written on statement lines and
// the properties of objects; they never change. Keywords compare without
// regard to case.
#pragma once

#include <cstdint>
#include <string_view>

namespace lv {

enum Keyword : int {
    kwBeep = 0,
    kwBitmap = 1,
    kwBits = 2,
    kwButton = 3,
    kwCrop = 4,
    kwRect = 5,
    kwOval = 6,
    kwText = 7,
    kwThumbArea = 8,
    kwStatic = 9,
    kwViewer = 10,
    kwWindow = 11,
    kwBegin = 12,
    kwEnd = 13,
    kwWidth = 14,
    kwHeight = 15,
    kwLeft = 16,
    kwTop = 17,
    kwRight = 18,
    kwBottom = 19,
    kwName = 20,
    kwSource = 21,
    kwDest = 22,
    kwTrigger = 23,
    kwNormalstate = 24,
    kwOverstate = 25,
    kwDownstate = 26,
    kwSeldownstate = 27,
    kwEnabled = 28,
    kwCtrl = 29,
    kwShift = 30,
    kwAlt = 31,
    kwKey = 32,
    kwThumbsizex = 33,
    kwThumbsizey = 34,
    kwMaximize = 35,
    kwHwnd = 36,
    kwParent = 37,
    kwVisible = 38,
    kwShow = 39,
    kwHide = 40,
    kwSize = 41,
    kwWindowwidth = 42,
    kwWindowheight = 43,
    kwWindowleft = 44,
    kwWindowtop = 45,
    kwWindowright = 46,
    kwWindowbottom = 47,
    kwClose = 48,
    kwInnerColor = 49,
    kwInnerOpacity = 50,
    kwInnerBit = 51,
    kwInnerBitX = 52,
    kwInnerBitY = 53,
    kwInnerXpar = 54,
    kwInnerXparX = 55,
    kwInnerXparY = 56,
    kwOuterColor = 57,
    kwOuterOpacity = 58,
    kwOuterBit = 59,
    kwOuterBitX = 60,
    kwOuterBitY = 61,
    kwOuterXpar = 62,
    kwOuterXparX = 63,
    kwOuterXparY = 64,
    kwThickness = 65,
    kwTextWidth = 66,
    kwTextHeight = 67,
    kwShadow = 68,
    kwShadowColor = 69,
    kwBold = 70,
    kwItalic = 71,
    kwUnderline = 72,
    kwStrike = 73,
    kwOutline = 74,
    kwBacklight = 75,
    kwEmboss = 76,
    kwGloss = 77,
    kwAngle = 78,
    kwAdjust = 79,
    kwBright = 80,
    kwContrast = 81,
    kwBlack = 82,
    kwWhite = 83,
    kwRotate = 84,
    kwFlip = 85,
    kwString = 86,
    kwHorz = 87,
    kwVert = 88,
    kwBlur = 89,
    kwSpread = 90,
    kwRadius = 91,
    kwScale = 92,
    kwImageWidth = 93,
    kwImageHeight = 94,
    kwSetViewer = 95,
    kwOversample = 96,
    kwIf = 97,
    kwGoto = 98,
    kwCall = 99,
    kwIn = 100,
    kwOut = 101,
    kwDouble = 102,
    kwSsActive = 103,
    kwSsDelay = 104,
    kwSsPause = 105,
    kwSsOrder = 106,
    kwZoom = 107,
    kwZoomAdd = 108,
    kwPan = 109,
    kwValid = 110,
    kwInvalid = 111,
    kwMessagebox = 112,
    kwNet = 113,
    kwSave = 114,
    kwCopy = 115,
    kwPrint = 116,
    kwExec = 117,
    kwResize = 118,
    kwViewNext = 119,
    kwViewPrev = 120,
    kwReadFiles = 121,
    kwFirstRoll = 122,
    kwLastRoll = 123,
    kwNextRoll = 124,
    kwPrevRoll = 125,
    kwRolls = 126,
    kwRoll = 127,
    kwRollName = 128,
    kwPath = 129,
    kwRedeye = 130,
    kwFade = 131,
    kwTitle = 132,
    kwReload = 133,
    kwNone = -1
};

constexpr int kKeywordCount = 134;

// What a keyword may stand for (several uses combine).
enum KeywordUse : std::uint8_t {
    kStatement = 1,        // starts a statement line
    kNumberProperty = 2,   // name=value on a statement line, an integer
    kColourProperty = 4,   // name=value on a statement line, a colour
    kTextProperty = 8,     // name=value on a statement line, a text
    kObjectProperty = 16,  // names a property of objects only
    kDelimiter = 32,       // begin and end of a function block
};

struct KeywordInfo {
    std::string_view text;
    unsigned use;
};

// The table in number order; an empty entry for a number outside it.
const KeywordInfo& keywordInfo(int number);

// The keyword's number, or -1 when the text is no keyword (case ignored).
int keywordLookup(std::string_view text);

}  // namespace lv
