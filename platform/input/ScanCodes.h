#pragma once
// The scan codes of the keyboard's keys, as the keyboard device reports them and the game
// compares them (the US layout's positions). platform::ScanCodeFromSdl gives them.
constexpr int kKeyEscape = 1;
constexpr int kKey1 = 2;
constexpr int kKey4 = 5;
constexpr int kKey6 = 7;
constexpr int kKeyBackspace = 14;
constexpr int kKeyTab = 15;
constexpr int kKeyE = 18;
constexpr int kKeyI = 23;
constexpr int kKeyEnter = 28; // the main Return key
constexpr int kKeyLeftCtrl = 29;
constexpr int kKeyA = 30;
constexpr int kKeyH = 35;
constexpr int kKeyX = 45;
constexpr int kKeyC = 46;
constexpr int kKeyV = 47;
constexpr int kKeyB = 48;
constexpr int kKeyComma = 51;
constexpr int kKeyPeriod = 52;
constexpr int kKeySpace = 57;
constexpr int kKeyNumpad0 = 82;
constexpr int kKeyF11 = 87;
constexpr int kKeyNumpadEnter = 156;
constexpr int kKeyRightCtrl = 157;
constexpr int kKeyHome = 199;
constexpr int kKeyUp = 200;
constexpr int kKeyPageUp = 201;
constexpr int kKeyLeft = 203;
constexpr int kKeyRight = 205;
constexpr int kKeyEnd = 207;
constexpr int kKeyDown = 208;
constexpr int kKeyPageDown = 209;
constexpr int kKeyInsert = 210;
constexpr int kKeyDelete = 211;
