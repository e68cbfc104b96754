#!/usr/bin/env bash
# Back and history. Three changes, then back twice: the desktop shows the
# first wallpaper's bytes again (numbered files, so each change has its
# own); the history submenu lists the wallpapers newest first with their
# thumbnails (screenshots; the order read inside the program). Copy recipe
# and chromaweave_lab render of the clipboard give the wallpaper's bytes; a
# damaged recipe pasted is refused with a message and changes nothing, a
# good one makes its wallpaper. Exit and start again: the history is there
# and gets its thumbnails; after the removal tool it is gone.
# e2e-locales: ja en
source "$(dirname "$0")/app_common.sh"
source "$(dirname "$0")/purge_common.sh"
app_setup test_app_history

mkdir -p "$(linux_path 'C:\wall')"
app_store_settings 'C:\wall' 3600000 2 UseSequentialNo dword:1
numbered() { linux_path "$(printf 'C:\\wall\\chromaweave_%010u.bmp' "$1")"; }
e2e_wait_tray
app_start

wait_for_new_file "$(numbered 1)" none 60
for n in 2 3; do
  app_command 103
  wait_for_new_file "$(numbered $n)" none 30
done
items=$(app_history_menu history_menu_three)
printf '%s\n\n' "$items" >>"$E2E_ART/history.txt"
e2e_assert_eq "3 2 1" "$(history_serials "$items")" "history after three changes, newest first"
history_thumbnails_ready "$items" || e2e_fail "the wallpapers of this run show placeholders: $items"

# Back twice: wallpapers 4 and 5 are 2 and 1 again.
app_menu b tray_menu_with_history
wait_for_new_file "$(numbered 4)" none 30
app_menu b
wait_for_new_file "$(numbered 5)" none 30
e2e_assert_eq 'C:\wall\chromaweave_0000000005.bmp' "$(desktop_wallpaper)" "wallpaper after back twice"
cmp -s "$(numbered 5)" "$(numbered 1)" || e2e_fail "back twice does not show the first wallpaper"
cmp -s "$(numbered 4)" "$(numbered 2)" || e2e_fail "back does not show the second wallpaper"
items=$(app_history_menu history_menu_after_back)
printf '%s\n\n' "$items" >>"$E2E_ART/history.txt"
e2e_assert_eq "5 4 3" "$(history_serials "$items")" "history after back twice"
grep -q '^1000 enabled,default,' <<<"$items" || e2e_fail "the wallpaper shown is not the first entry: $items"
e2e_drive tray-click "$MAIN_CLASS" RIGHT >/dev/null
menu=$(wait_for_window '#32768' - 10000) || e2e_fail "the tray menu did not open"
e2e_assert_eq grayed "$(menu_item_state "$menu" 110)" "back at the oldest wallpaper"
e2e_assert_eq enabled "$(menu_item_state "$menu" 111)" "the history submenu"
e2e_drive menu-key "$menu" 27 >/dev/null
wait_for_gone "$menu" 10000 || e2e_fail "the tray menu did not close"

# Copy recipe: the lab makes the same file from it.
app_menu r
recipe=$(e2e_drive clipboard-get) || e2e_fail "no text on the clipboard after copy recipe"
[[ $recipe == cw1-* ]] || e2e_fail "the clipboard holds no recipe: $recipe"
printf '%s\n' "$recipe" >"$E2E_ART/recipe.txt"
lab_render "$recipe" 'C:\lab.bmp' || e2e_fail "chromaweave_lab render failed (lab.log)"
cmp -s "$(linux_path 'C:\lab.bmp')" "$(numbered 5)" ||
  e2e_fail "the lab's rendering of the copied recipe differs from the wallpaper file"

# A damaged recipe: one character changed. A message, and nothing else.
swap=A
[ "${recipe:12:1}" != A ] || swap=B
e2e_drive clipboard-set "${recipe:0:12}$swap${recipe:13}" >/dev/null
app_menu i
box=$(wait_for_window "$DIALOG" "$ERROR_CAPTION") || e2e_fail "no message for a damaged recipe"
e2e_check_msgbox "$box" "$ERROR_CAPTION" "$TEXT_RECIPE_DAMAGED" OK 1 other
e2e_assert_eq "owner=$MAIN_CLASS" "$(e2e_drive msgbox "$box" | grep '^owner=')" "owner of the message"
e2e_screenshot message_damaged_recipe
e2e_press "$box" 1
[ ! -e "$(numbered 6)" ] || e2e_fail "a damaged recipe made a wallpaper"
e2e_assert_eq 'C:\wall\chromaweave_0000000005.bmp' "$(desktop_wallpaper)" "wallpaper after the damaged recipe"
# Not a recipe at all.
e2e_drive clipboard-set "chromaweave" >/dev/null
app_menu i
box=$(wait_for_window "$DIALOG" "$ERROR_CAPTION") || e2e_fail "no message for a text that is not a recipe"
e2e_check_msgbox "$box" "$ERROR_CAPTION" "$TEXT_NOT_A_RECIPE" OK 1 other
e2e_press "$box" 1
# A good one: the third wallpaper's recipe, from the history's values.
third=$(reg_value "$HISTORY_KEY" 2 | sed 's/^"h1 [0-9]* [0-9]* \(.*\)"$/\1/')
[[ $third == cw1-* ]] || e2e_fail "no recipe in history value 2: $(e2e_reg_dump "$HISTORY_KEY")"
e2e_drive clipboard-set "$third" >/dev/null
app_menu i
wait_for_new_file "$(numbered 6)" none 30
cmp -s "$(numbered 6)" "$(numbered 3)" || e2e_fail "the pasted recipe did not make the third wallpaper"
e2e_reg_dump "$HISTORY_KEY" >"$E2E_ART/history_values.txt"

# Exit and start again: the history is still there, and the worker draws
# its thumbnails after the first change.
before=$(history_serials "$(app_history_menu)")
app_menu x
app_expect_exit
app_start
wait_for_new_file "$(numbered 7)" none 60
deadline=$((SECONDS + 30))
until items=$(app_history_menu) && history_thumbnails_ready "$items"; do
  [ $SECONDS -lt $deadline ] || e2e_fail "the thumbnails were not drawn after the restart: $items"
  sleep 0.5
done
app_history_menu history_menu_restarted >/dev/null
printf '%s\n\n' "$items" >>"$E2E_ART/history.txt"
e2e_assert_eq "7 $before" "$(history_serials "$items")" "history after the restart"
app_menu x
app_expect_exit

# The removal tool deletes the history with the settings.
purge_delete_all
! e2e_reg_exists "$HISTORY_KEY" || e2e_fail "the history is still there after the removal tool"
