#include "hid/vkb_protocol.h"

#include <nlohmann/json.hpp>

namespace korvex::hid {

std::string FormatReply(const VkbOutcome& outcome) {
  nlohmann::json reply;
  reply["ok"] = outcome.ok;
  if (outcome.ok)
    reply["result"] = nlohmann::json::parse(outcome.text, nullptr, false);
  else
    reply["error"] = outcome.text;
  // Replace rather than throw on bytes that are not UTF-8 (an unknown command
  // word is echoed in the error).
  return reply.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

VkbOutcome ParseReply(std::string_view line) {
  const nlohmann::json reply = nlohmann::json::parse(line, nullptr, false);
  if (!reply.is_object() || !reply.contains("ok") || !reply["ok"].is_boolean())
    return VkbOutcome::Failure("the virtual keyboard sent a reply that is not understood");
  if (reply["ok"].get<bool>()) {
    if (!reply.contains("result")) return VkbOutcome::Failure("the virtual keyboard's reply has no result");
    return VkbOutcome::Success(reply["result"].dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
  }
  if (!reply.contains("error") || !reply["error"].is_string())
    return VkbOutcome::Failure("the virtual keyboard failed without saying why");
  return VkbOutcome::Failure(reply["error"].get<std::string>());
}

}  // namespace korvex::hid
