# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Windows installer from CPack's staged install tree: `cpack -G External` runs this.
# It uses wixl (Debian's msitools), which runs here; CPack's own WIX generator needs the WiX
# toolset, which runs only on Windows.
set(stage "${CPACK_TEMPORARY_DIRECTORY}")
set(msi "${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.msi")
file(COPY "${CPACK_KOVELITH_WXS}" "${CPACK_KOVELITH_ICON}" DESTINATION "${stage}")
get_filename_component(wxs "${CPACK_KOVELITH_WXS}" NAME)

# One product code per version: the same version installed again is repaired, not added twice.
string(UUID product_code NAMESPACE "${CPACK_KOVELITH_UPGRADE_CODE}" NAME "${CPACK_PACKAGE_VERSION}" TYPE SHA1 UPPER)
execute_process(COMMAND wixl --arch x64 -D "Version=${CPACK_PACKAGE_VERSION}" -D "UpgradeCode=${CPACK_KOVELITH_UPGRADE_CODE}"
                        -D "ProductCode=${product_code}" -o "${msi}" "${wxs}"
                WORKING_DIRECTORY "${stage}" COMMAND_ERROR_IS_FATAL ANY)

# wixl 0.101 leaves the database without a code page and cannot store Japanese texts: mark the
# database UTF-8, then write the product's name, the shortcut's and the refusal of an older version.
set(newer "より新しい「${CPACK_KOVELITH_TITLE}」がすでに入っています。")
file(WRITE "${stage}/_ForceCodepage.idt" "\r\n\r\n65001\t_ForceCodepage\r\n")
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 msibuild "${msi}" -i "${stage}/_ForceCodepage.idt"
                        -q "UPDATE `Property` SET `Value` = '${CPACK_KOVELITH_TITLE}' WHERE `Property` = 'ProductName'"
                        -q "UPDATE `Shortcut` SET `Name` = '${CPACK_KOVELITH_TITLE}' WHERE `Shortcut` = 'StartMenuShortcut'"
                        -q "UPDATE `LaunchCondition` SET `Description` = '${newer}'"
                COMMAND_ERROR_IS_FATAL ANY)
set(CPACK_EXTERNAL_BUILT_PACKAGES "${msi}")
