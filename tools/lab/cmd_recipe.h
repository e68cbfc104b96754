// Recipes in the lab: reading a recipe given as text or in a file, shared by
// the recipe and render commands, and the recipe text as JSON.
#pragma once

#include <string>

#include "compose/recipe.h"

class labArgs;

// The recipe of the one positional argument or of --recipe-file (a file
// holding one recipe text; white space around it is ignored). On failure
// the reason is printed on stderr for command and status holds the exit
// status: usage for a bad command line and for a text that is no sound
// recipe (damaged, newer, out of bounds).
bool readRecipeArgument(const char *command, const labArgs &args, tlRecipe &out, int &status);

// The text as a JSON string, quotes included ("\"cw1-...\""); texts and
// file names are escaped where JSON asks it.
std::string jsonString(const std::string &text);
