// Fixed facts about the product shown to the user.
#pragma once

inline constexpr char kProductTitle[] = "Quop Twinsweeps";
// The product home page: the about box's link and the Help menu's "H&ome...".
inline constexpr char kProductHomePage[] = "https://www.quop.example/twinsweeps/";
// The notice line of the about box.
inline constexpr char kProductNotice[] = "Copyright (C) 2026 Quop. All rights reserved.";
