#include "app/json_values.h"

#include <cmath>

std::string jsonLine(const Json& json) { return json.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n"; }

Json jsonNumber(const ParameterValue& value) {
    return value.available && std::isfinite(value.value) ? Json(value.value) : Json(nullptr);
}
