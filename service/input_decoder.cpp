#include "service/input_decoder.h"

#include "service/hid_messages.h"
#include "service/key_event.h"

namespace {

// Byte tests that fail for bytes the report does not hold.
class ReportBytes {
 public:
  ReportBytes(const uint8_t* bytes, size_t length) : bytes_(bytes), length_(bytes ? length : 0) {}
  bool Has(size_t i) const { return i < length_; }
  bool Is(size_t i, uint8_t value) const { return Has(i) && bytes_[i] == value; }
  bool IsNot(size_t i, uint8_t value) const { return Has(i) && bytes_[i] != value; }
  uint8_t operator[](size_t i) const { return bytes_[i]; }  // only after Has(i)

 private:
  const uint8_t* bytes_;
  size_t length_;
};

DecodedPost KeyEvent(uint8_t code, uint8_t eventClass, uint8_t flag) {
  return {PostTarget::kServiceWindow, WM_HID_KEY_EVENT, MakeKeyEventWParam(code),
          MakeKeyEventLParam(eventClass, flag)};
}

DecodedPost SpecialState(bool on) { return {PostTarget::kSettingsPage, WM_HID_SPECIAL_STATE, on ? 1u : 0u, 0}; }

// The keyboard's acknowledgement 00 07 00 03 D6 s 00 00 (from b1): with s 0
// or 1 it means nothing to the host.
enum class Acknowledgement { kNone, kConsumed, kOther };
Acknowledgement ClassifyAcknowledgement(const ReportBytes& r) {
  if (!(r.Is(1, 0x00) && r.Is(2, 0x07) && r.Is(3, 0x00) && r.Is(4, 0x03) && r.Is(5, 0xD6) && r.Is(7, 0x00) &&
        r.Is(8, 0x00)))
    return Acknowledgement::kNone;
  return (r[6] == 0x00 || r[6] == 0x01) ? Acknowledgement::kConsumed : Acknowledgement::kOther;
}

// Profile switches and lighting changes made on the keyboard; the first
// matching rule wins.
void DecodeKeyboardChange(const ReportBytes& r, std::vector<DecodedPost>& posts) {
  if (r.Is(0, 0x0D) && r.Is(1, 0x03) && r.Has(2)) {
    posts.push_back(KeyEvent(r[2], KEY_EVENT_PROFILE_SWITCHED, 1));
  } else if (r.Is(0, 0x0D) && r.Is(1, 0x05) && r.Has(3)) {
    posts.push_back(KeyEvent(KEY_EVENT_HOST_KEY_CODE, r[3], 1));
  } else if (r.Is(2, 0x01) && r.Is(3, 0x01) && r.Has(4)) {
    posts.push_back(KeyEvent(r[4], KEY_EVENT_LIGHT_EFFECT, 1));
  } else if (r.Is(1, 0x02) && r.Is(2, 0x0C) && r.Has(3)) {
    posts.push_back(KeyEvent(r[3], KEY_EVENT_LIGHT_DIRECTION, 1));
  } else if (r.Is(2, 0x01) && r.Is(3, 0x07) && r.Has(4)) {
    posts.push_back(KeyEvent(r[4], KEY_EVENT_LIGHT_BRIGHTNESS, 1));
  }
}

// Reports 08 k f c: the special state (FE 06 / FE 05), else a key event with
// class k, flag f and code c. Code AC is never reported.
void DecodeKeyReport(const ReportBytes& r, std::vector<DecodedPost>& posts) {
  if (!(r.Is(0, 0x08) && r.IsNot(3, 0xAC))) return;
  if (r.Is(1, 0xFE) && r.Is(2, 0x06)) {
    posts.push_back(SpecialState(true));
  } else if (r.Is(1, 0xFE) && r.Is(2, 0x05)) {
    posts.push_back(SpecialState(false));
  } else {
    posts.push_back(KeyEvent(r[3], r[1], r[2]));
  }
}

}  // namespace

std::vector<DecodedPost> DecodeInputReport(const uint8_t* bytes, size_t length) {
  const ReportBytes report(bytes, length);
  std::vector<DecodedPost> posts;
  switch (ClassifyAcknowledgement(report)) {
    case Acknowledgement::kConsumed:
      return posts;
    case Acknowledgement::kOther:
      break;
    case Acknowledgement::kNone:
      DecodeKeyboardChange(report, posts);
      break;
  }
  DecodeKeyReport(report, posts);
  return posts;
}
