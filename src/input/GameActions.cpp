#include "input/GameActions.h"

#include "platform/text/TextCodec.h"

const std::array<DIACTION, 10>& GameActions() {
  static const std::array<DIACTION, 10> table = {{
      {ACT_LEFT_RIGHT, 0x07008201, 0, SJ("左右ボタン")},    // the genre's lateral axis
      {ACT_UP_DOWN, 0x07010202, 0, SJ("上下ボタン")},       // the genre's move axis
      {ACT_DECIDE, 0x07000401, 0, SJ("決定ボタン")},        // the genre's fire button
      {ACT_CANCEL, 0x07000403, 0, SJ("キャンセルボタン")},  // the genre's target button
      {ACT_LEFT, 0x810004CB, 0, SJ("左ボタン")},            // keyboard Left arrow
      {ACT_RIGHT, 0x810004CD, 0, SJ("右ボタン")},           // keyboard Right arrow
      {ACT_UP, 0x810004C8, 0, SJ("上ボタン")},              // keyboard Up arrow
      {ACT_DOWN, 0x810004D0, 0, SJ("下ボタン")},            // keyboard Down arrow
      {ACT_DECIDE_KEY, 0x81000439, 0, SJ("決定ボタン")},    // keyboard space bar
      {ACT_CANCEL_KEY, 0x81000430, 0, SJ("キャンセルボタン")},  // keyboard B
  }};
  return table;
}
