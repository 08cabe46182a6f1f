#pragma once

#include <string>

// The connection's status as start-up and the splash see it: empty, the connecting message, or "OK".
extern std::string ConnectStatus;
// The status while the connection is being made: "系统正在连接数据库，请稍候...".
const std::string& ConnectingMessage();

// The stored form of a login id or password: four digits from "0", "3", "4" and "7" per byte, its
// base-4 digits from the most significant one. A reversible code without a key.
std::string EncodeCredential(const std::string& plain);
// The reverse of EncodeCredential. A code whose length is not a multiple of four gives the empty
// text; a byte that is not a decimal digit raises EConvertError naming it.
std::string DecodeCredential(const std::string& code);
