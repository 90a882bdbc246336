#pragma once

// The instrument's two cameras. Stored fields keep their own encodings; code passes this.
enum class Camera { A = 0, B = 1 };
